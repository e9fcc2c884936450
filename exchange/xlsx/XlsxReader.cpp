#include "XlsxReader.h"

#include "BareBiffReader.h"
#include "FileBytes.h"
#include "FreeXlReader.h"
#include "SheetDrafts.h"
#include "XlsReader.h"
#include "XlsxParts.h"
#include "XlsxSheet.h"
#include "ZipArchive.h"

DraftSet readXlsxBytes(const QByteArray& bytes, const QString& fileName)
{
    if (looksLikeOle2(bytes) || looksLikeBareBiff(bytes))
        return readXlsBytes(bytes, fileName);  // an .xls workbook under the newer name
    const ZipArchive archive(bytes, fileName);
    const XlsxParts parts = readXlsxParts(archive, fileName);
    return draftsFromSheet(readXlsxSheet(archive.read(parts.sheetPath), parts, fileName), fileName);
}

DraftSet readXlsxFile(const QString& path)
{
    return readXlsxBytes(ReadWholeFile(path), path);
}
