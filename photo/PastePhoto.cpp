#include "PastePhoto.h"

#include "photo/Graphics.h"
#include "photo/ImageBox.h"
#include "platform/Desktop.h"
#include "platform/Errors.h"

#include <QMimeData>

namespace {

const QString EmfMime = QStringLiteral("image/x-emf");
const QString WmfMime = QStringLiteral("image/x-wmf");

// The clipboard formats that are pictures, as the framework registered them.
enum class ClipKind { Metafile, Bitmap };
struct ClipboardPictureFormat {
    QString mime;
    ClipKind kind;
};
const ClipboardPictureFormat ClipboardPictureFormats[] = {
    {WmfMime, ClipKind::Metafile},
    {EmfMime, ClipKind::Metafile},
};

[[noreturn]] void UnsupportedFormat()
{
    throw EInvalidGraphic(QStringLiteral("不支持的剪贴板格式"));
}

bool IsMetafileMime(const QString& format)
{
    return format == EmfMime || format == WmfMime;
}

// The box's picture as a bitmap: anything else, or nothing, gives way to an empty one.
TBitmap& MakeBitmap(TImage* box)
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(box->Picture()))
        return *bitmap;
    box->SetPicture(std::make_unique<TBitmap>());
    return static_cast<TBitmap&>(*box->Picture());
}

void TakeBitmap(TImage* box, TBitmap& bitmap)
{
    const QMimeData* data = desktop().Clipboard();
    const QImage image = data && data->hasImage() ? qvariant_cast<QImage>(data->imageData()) : QImage();
    if (image.isNull())
        UnsupportedFormat();
    bitmap.Image = image.copy();
    box->update();
}

void TakeMetafile(TImage* box)
{
    const QMimeData* data = desktop().Clipboard();
    if (!data || !data->hasFormat(EmfMime))
        UnsupportedFormat();
    auto metafile = std::make_unique<TMetafile>();
    metafile->LoadFromBytes(data->data(EmfMime));
    box->SetPicture(std::move(metafile));
}

// The box's picture, keeping its kind, takes the clipboard's picture.
void AssignClipboard(TImage* box)
{
    TGraphic* picture = box->Picture();
    if (dynamic_cast<TMetafile*>(picture)) {
        TakeMetafile(box);
    } else if (auto* bitmap = dynamic_cast<TBitmap*>(picture)) {
        TakeBitmap(box, *bitmap);
    } else if (picture) {
        throw EConvertError(QStringLiteral("不能指派一个 TClipboard 给一个 %1").arg(picture->ClassName()));
    }
}

}  // namespace

bool ClipboardHasBitmap(const QMimeData& data)
{
    if (!data.hasImage())
        return false;
    // A metafile alone is not a bitmap, even where the desktop calls it an image.
    const QStringList formats = data.formats();
    for (const QString& format : formats) {
        if (!IsMetafileMime(format)
            && (format.startsWith(QLatin1String("image/")) || format == QLatin1String("application/x-qt-image")))
            return true;
    }
    return false;
}

bool ClipboardHasPicture(const QMimeData& data)
{
    if (data.hasFormat(PictureClipboardFormat))
        return true;
    for (const QString& format : data.formats()) {
        for (const ClipboardPictureFormat& known : ClipboardPictureFormats) {
            if (known.mime == format)
                return true;
        }
    }
    return false;
}

bool PastePhoto(TImage* box)
{
    try {
        const QMimeData* data = desktop().Clipboard();
        if (data && ClipboardHasBitmap(*data)) {
            TBitmap& bitmap = MakeBitmap(box);
            TakeBitmap(box, bitmap);
        } else if (data && ClipboardHasPicture(*data)) {
            if (!box->Picture())
                return false;  // nothing to take the picture into
            AssignClipboard(box);
        }
        return true;
    } catch (...) {
        return false;
    }
}
