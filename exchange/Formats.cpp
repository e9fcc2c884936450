#include "Formats.h"

#include "exchange/VCardFile.h"
#include "exchange/birthday/BirthdayCalendarFile.h"
#include "exchange/csv/CsvReader.h"
#include "exchange/csv/CsvWriter.h"
#include "exchange/xls/XlsReader.h"
#include "exchange/xlsx/XlsxReader.h"
#include "exchange/xlsx/XlsxWriter.h"

#include <QFileInfo>

const QList<ImportFormat>& ImportFormats()
{
    static const QList<ImportFormat> formats{
        {QStringLiteral("vcf"), QStringLiteral("vCard 名片"), ReadVCardFile, StreamVCardFile},
        {QStringLiteral("csv"), QStringLiteral("CSV 表格"), readCsvFile, streamCsvFile},
        {QStringLiteral("xls"), QStringLiteral("Excel 97-2003 电子表格"), readXlsFile, streamXlsFile},
        {QStringLiteral("xlsx"), QStringLiteral("Excel 电子表格"), readXlsxFile, streamXlsxFile},
    };
    return formats;
}

const QList<ExportFormat>& ExportFormats()
{
    static const QList<ExportFormat> formats{
        {QStringLiteral("vcf"), QStringLiteral("vCard 名片"), WriteVCardFile},
        {QStringLiteral("csv"), QStringLiteral("CSV 表格"), writeCsvFile},
        {QStringLiteral("xlsx"), QStringLiteral("Excel 电子表格"), writeXlsxFile},
        {QStringLiteral("ics"), QStringLiteral("iCalendar 生日日历"), WriteBirthdayCalendarFile,
         BirthdayCalendarSummary},
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

const ImportFormat* FindImportFormat(const QString& path)
{
    return findIn(ImportFormats(), path);
}
const ExportFormat* FindExportFormat(const QString& path)
{
    return findIn(ExportFormats(), path);
}

template <typename Format>
static QStringList patternsOf(const QList<Format>& formats)
{
    QStringList patterns;
    for (const Format& format : formats)
        patterns << QStringLiteral("*.") + format.extension;
    return patterns;
}

QStringList ImportPatterns()
{
    return patternsOf(ImportFormats());
}
QStringList ExportPatterns()
{
    return patternsOf(ExportFormats());
}
