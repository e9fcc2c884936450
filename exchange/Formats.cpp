#include "Formats.h"

#include "VCardFile.h"

#include <QFileInfo>

const QList<ImportFormat>& ImportFormats()
{
    static const QList<ImportFormat> formats{
        {QStringLiteral("vcf"), QStringLiteral("vCard 名片"), ReadVCardFile},
    };
    return formats;
}

const QList<ExportFormat>& ExportFormats()
{
    static const QList<ExportFormat> formats{
        {QStringLiteral("vcf"), QStringLiteral("vCard 名片"), WriteVCardFile},
    };
    return formats;
}

QString FileExtension(const QString& path)
{
    return QFileInfo(path).suffix().toLower();
}

template <typename Format>
static const Format* findIn(const QList<Format>& formats, const QString& path)
{
    const QString extension = FileExtension(path);
    for (const Format& format : formats)
        if (format.extension == extension)
            return &format;
    return nullptr;
}

const ImportFormat* FindImportFormat(const QString& path) { return findIn(ImportFormats(), path); }
const ExportFormat* FindExportFormat(const QString& path) { return findIn(ExportFormats(), path); }

template <typename Format>
static QStringList patternsOf(const QList<Format>& formats)
{
    QStringList patterns;
    for (const Format& format : formats)
        patterns << QStringLiteral("*.") + format.extension;
    return patterns;
}

QStringList ImportPatterns() { return patternsOf(ImportFormats()); }
QStringList ExportPatterns() { return patternsOf(ExportFormats()); }
