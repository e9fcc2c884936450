#include "XlsxReader.h"

#include "exchange/FileBytes.h"
#include "exchange/sheet/FileLook.h"
#include "exchange/sheet/SheetDrafts.h"

#include "exchange/xls/BareBiffReader.h"
#include "exchange/xls/FreeXlReader.h"
#include "exchange/xls/XlsReader.h"
#include "exchange/xlsx/XlsxParts.h"
#include "exchange/xlsx/XlsxSheet.h"
#include "exchange/xlsx/ZipArchive.h"

DraftSet readXlsxBytes(const QByteArray& bytes, const QString& fileName)
{
    if (looksLikeOle2(bytes) || looksLikeBareBiff(bytes))
        return readXlsBytes(bytes, fileName);  // an .xls workbook under the newer name
    if (!bytes.startsWith("PK"))
        throw ExchangeError(
            cannotReadMessage(fileName, notWhatItSays(QStringLiteral(".xlsx 工作簿"), fileLook(bytes))));
    const ZipArchive archive(bytes, fileName);
    const XlsxParts parts = readXlsxParts(archive, fileName);
    SheetTable table(fileName);
    readXlsxSheet(archive.read(parts.sheetPath), parts, fileName, [&](SheetRow&& row) { table.add(std::move(row)); });
    return table.finish();
}

DraftSet readXlsxFile(const QString& path)
{
    return readXlsxBytes(ReadWholeFile(path), path);
}
