#include "CsvReader.h"

#include "exchange/FileBytes.h"
#include "exchange/csv/CsvParser.h"
#include "exchange/csv/CsvText.h"
#include "exchange/sheet/FileLook.h"
#include "exchange/sheet/SheetDrafts.h"

namespace {

DraftSet readCsv(const QByteArray& bytes, const QString& fileName)
{
    const FileLook look = fileLook(bytes);
    if (!look.text)
        throw ExchangeError(cannotReadMessage(fileName, notWhatItSays(QStringLiteral("CSV 文本"), look)));
    const CsvEncoding encoding = detectCsvEncoding(bytes);
    SheetTable table(fileName);
    table.expectRows(bytes.count('\n') + 1);
    const int unclosed = scanCsv(csvTextPieces(bytes, encoding), [&](SheetRow&& row) { table.add(std::move(row)); });
    // The rest of the file after an open quote would be one field: rather nothing than a guess.
    if (unclosed > 0)
        throw ExchangeError(cannotReadMessage(
            fileName, QStringLiteral("第 %1 行起的引号没有闭合，整个文件未导入（请检查该行的双引号）").arg(unclosed)));
    DraftSet set = table.finish();
    set.notes.prepend(QStringLiteral("编码：%1（%2）").arg(encoding.name, encoding.how));
    return set;
}

}  // namespace

DraftSet readCsvBytes(const QByteArray& bytes, const QString& fileName)
{
    return readCsv(bytes, fileName);
}

DraftSet readCsvFile(const QString& path)
{
    return readCsv(ReadWholeFile(path), path);
}
