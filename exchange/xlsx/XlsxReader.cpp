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

#include <optional>

DraftSet readXlsxBytes(const QByteArray& bytes, const QString& fileName)
{
    if (looksLikeOle2(bytes) || looksLikeBareBiff(bytes))
        return readXlsBytes(bytes, fileName);  // an .xls workbook under the newer name
    if (!bytes.startsWith("PK"))
        throw ExchangeError(
            cannotReadMessage(fileName, notWhatItSays(QStringLiteral(".xlsx 工作簿"), fileLook(bytes))));
    const ZipArchive archive(bytes, fileName);
    const XlsxParts parts = readXlsxParts(archive, fileName);
    const QByteArray sheet = archive.read(parts.sheetPath);
    std::optional<SheetTable> table(std::in_place, fileName);
    const auto add = [&](SheetRow&& row) { table->add(std::move(row)); };
    if (!readXlsxSheetLightly(sheet, parts, add)) {
        table.emplace(fileName);  // what the fast reader gave so far is read again
        readXlsxSheetFully(sheet, parts, fileName, add);
    }
    return table->finish();
}

DraftSet readXlsxFile(const QString& path)
{
    return readXlsxBytes(ReadWholeFile(path), path);
}
