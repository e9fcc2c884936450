#include "PictureFormats.h"

#include "platform/FileFilter.h"

namespace {

// The JPEG kinds share one description string.
const QString& JpegDescription()
{
    static const QString text = QStringLiteral("JPEG Image File");
    return text;
}

QList<PictureFileFormat> RegisteredFormats()
{
    // The framework's own four come first; the JPEG unit adds its two at start-up.
    QList<PictureFileFormat> formats{
        {QStringLiteral("wmf"), QStringLiteral("元文件"), PictureKind::Metafile},
        {QStringLiteral("emf"), QStringLiteral("扩展元文件"), PictureKind::Metafile},
        {QStringLiteral("ico"), QStringLiteral("图标"), PictureKind::Icon},
        {QStringLiteral("bmp"), QStringLiteral("位图"), PictureKind::Bitmap},
    };
    formats.append({QStringLiteral("jpeg"), JpegDescription(), PictureKind::Jpeg});
    formats.append({QStringLiteral("jpg"), JpegDescription(), PictureKind::Jpeg});
    return formats;
}

}  // namespace

const QList<PictureFileFormat>& PictureFileFormats()
{
    static const QList<PictureFileFormat> formats = RegisteredFormats();
    return formats;
}

const PictureFileFormat* FindPictureFileFormat(const QList<PictureFileFormat>& formats, const QString& extension)
{
    for (qsizetype i = formats.size() - 1; i >= 0; --i) {
        if (formats[i].extension.compare(extension, Qt::CaseInsensitive) == 0)
            return &formats[i];
    }
    return nullptr;
}

const PictureFileFormat* FindPictureFileFormat(const QString& extension)
{
    return FindPictureFileFormat(PictureFileFormats(), extension);
}

std::unique_ptr<TGraphic> NewPicture(PictureKind kind)
{
    switch (kind) {
    case PictureKind::Bitmap: return std::make_unique<TBitmap>();
    case PictureKind::Icon: return std::make_unique<TIcon>();
    case PictureKind::Metafile: return std::make_unique<TMetafile>();
    case PictureKind::Jpeg: return std::make_unique<TJPEGImage>();
    }
    return nullptr;
}

QString BuildPictureFilter(const QList<PictureFileFormat>& formats)
{
    QString descriptions;
    QString patterns;
    int added = 0;
    for (qsizetype i = formats.size() - 1; i >= 0; --i) {
        const PictureFileFormat& f = formats[i];
        if (added > 0) {
            descriptions += u'|';
            patterns += u';';
        }
        // "%s%s (*.%s)|*.%2:s" and "%s*.%s"
        descriptions += QStringLiteral("%1 (*.%2)|*.%2").arg(f.description, f.extension);
        patterns += QStringLiteral("*.%1").arg(f.extension);
        ++added;
    }
    if (added > 1)
        return QStringLiteral("%1 (%2)|%2|%3").arg(QStringLiteral("全部"), patterns, descriptions);
    return descriptions;
}

QString PictureDialogFilter()
{
    return BuildPictureFilter(PictureFileFormats());
}

QList<PictureDialogChoice> PictureDialogChoices(const QString& filter)
{
    QList<PictureDialogChoice> choices;
    for (const FileFilterEntry& entry : ParseWindowsFilter(filter))
        choices.append({entry.description, entry.patterns});
    return choices;
}
