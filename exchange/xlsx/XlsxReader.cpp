#include "XlsxReader.h"

#include "SheetDrafts.h"
#include "FileBytes.h"
#include "XlsxParts.h"
#include "XlsxSheet.h"
#include "ZipArchive.h"

DraftSet readXlsxBytes(const QByteArray& bytes, const QString& fileName)
{
    const ZipArchive archive(bytes, fileName);
    const XlsxParts parts = readXlsxParts(archive, fileName);
    return draftsFromSheet(readXlsxSheet(archive.read(parts.sheetPath), parts, fileName), fileName);
}

DraftSet readXlsxFile(const QString& path)
{
    return readXlsxBytes(ReadWholeFile(path), path);
}
