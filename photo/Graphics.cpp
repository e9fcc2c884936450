// TBitmap and TJPEGImage. (TIcon and TMetafile live in their own files.)

#include "Graphics.h"

#include "photo/DibGeometry.h"
#include "photo/JpegCodec.h"
#include "platform/Errors.h"

#include <QPainter>
#include <QtEndian>

namespace {

void DrawStretched(QPainter& painter, const QRect& rect, const QImage& image)
{
    if (image.isNull() || rect.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect, image);
    painter.restore();
}

// What the headers of a .bmp file claim must be there: a size we can hold and,
// for rows stored as they are, the bytes of every row (a bitmap cut short is damaged).
bool HeaderClaimsAreSound(const QByteArray& file)
{
    const qsizetype fileHeaderSize = 14;
    const QByteArrayView info = QByteArrayView(file).sliced(fileHeaderSize);
    const std::optional<DibGeometry> geometry = ReadDibGeometry(info);
    if (!geometry)
        return false;
    // The bits start where the file header says, unless that points into the header itself.
    const qint64 claimed = qFromLittleEndian<quint32>(file.constData() + 10);
    const qint64 bitsAt =
        claimed >= fileHeaderSize + geometry->headerSize ? claimed : fileHeaderSize + geometry->infoSize;
    return bitsAt <= file.size() && geometry->BitsFit(file.size() - bitsAt);
}

}  // namespace

// ---------------------------------------------------------------- TBitmap

bool TBitmap::Empty() const
{
    return Image.isNull();
}

void TBitmap::Draw(QPainter& painter, const QRect& rect) const
{
    DrawStretched(painter, rect, Image);
}

void TBitmap::LoadFromBytes(const QByteArray& bytes)
{
    const qsizetype fileHeaderSize = 14;
    Image = QImage();
    if (bytes.isEmpty())
        return;  // an empty file is an empty bitmap
    if (bytes.size() < fileHeaderSize)
        throw EReadError(QStringLiteral("读流发生错误"));
    if (!bytes.startsWith("BM") || !HeaderClaimsAreSound(bytes))
        throw EInvalidGraphic(QStringLiteral("位图图象无效"));
    QImage image;
    if (!image.loadFromData(bytes, "BMP"))
        throw EInvalidGraphic(QStringLiteral("位图图象无效"));
    Image = WithWholeColourTable(image);
}

// ---------------------------------------------------------------- TJPEGImage

bool TJPEGImage::Empty() const
{
    return Data.isEmpty() && Bitmap.isNull();
}

int TJPEGImage::Width() const
{
    return Data.isEmpty() ? Bitmap.width() : width_;
}
int TJPEGImage::Height() const
{
    return Data.isEmpty() ? Bitmap.height() : height_;
}

void TJPEGImage::LoadFromBytes(const QByteArray& bytes)
{
    Data = bytes;
    Bitmap = QImage();
    Grayscale = false;
    ProgressiveEncoding = false;
    width_ = 0;
    height_ = 0;
    decoded_ = QImage();
    decodeTried_ = false;
    preview_ = QImage();
    previewSize_ = QSize();
    if (Data.isEmpty())
        return;
    const JpegHeader header = ReadJpegHeader(Data);
    width_ = header.Width;
    height_ = header.Height;
    Grayscale = header.Grayscale;
    ProgressiveEncoding = header.Progressive;
}

void TJPEGImage::Assign(const TGraphic& source)
{
    if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(&source)) {
        if (jpeg != this)
            *this = *jpeg;  // the compressed bytes as they are, and any decoded copy
        return;
    }
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
        const QImage pixels = bitmap->Image;  // shared until either side changes it
        LoadFromBytes(QByteArray());
        Bitmap = pixels;
        return;
    }
    throw EConvertError(QStringLiteral("不能指派一个 %1 给一个 %2").arg(source.ClassName(), ClassName()));
}

QByteArray TJPEGImage::SaveToBytes()
{
    if (Data.isEmpty() && !Bitmap.isNull()) {
        Data = CompressJpeg(Bitmap);
        width_ = Bitmap.width();
        height_ = Bitmap.height();
    }
    return Data;
}

void TJPEGImage::Draw(QPainter& painter, const QRect& rect) const
{
    if (Data.isEmpty()) {
        DrawStretched(painter, rect, Bitmap);
        return;
    }
    if (!decodeTried_) {
        decodeTried_ = true;
        try {
            decoded_ = DecodeJpeg(Data);
        } catch (...) {
            decoded_ = QImage();  // damaged data, or a colour space that cannot be shown
        }
    }
    DrawStretched(painter, rect, decoded_);
}

void TJPEGImage::DrawPreview(QPainter& painter, const QRect& rect) const
{
    if (Data.isEmpty()) {
        DrawStretched(painter, rect, Bitmap);
        return;
    }
    if (previewSize_ != rect.size()) {
        previewSize_ = rect.size();
        try {
            preview_ = DecodeJpegToFit(Data, rect.size());
        } catch (...) {
            preview_ = QImage();
        }
    }
    DrawStretched(painter, rect, preview_);
}
