#include "CsvReader.h"

#include "exchange/FileBytes.h"
#include "exchange/csv/CsvParser.h"
#include "exchange/csv/CsvText.h"
#include "exchange/sheet/FileLook.h"
#include "exchange/sheet/SheetDrafts.h"
#include "exchange/sheet/SheetFile.h"

namespace {

// The text alone outlives the bytes, so a large file is not held twice.
CsvText csvText(QByteArray bytes, const QString& fileName)
{
    const FileLook look = fileLook(bytes);
    if (!look.text)
        throw ExchangeError(cannotReadMessage(fileName, notWhatItSays(QStringLiteral("CSV 文本"), look)));
    return decodeCsvText(bytes);
}

DraftSet readCsvText(const CsvText& text, const QString& fileName)
{
    SheetTable table(fileName);
    const int unclosed = scanCsv(text.text, [&](SheetRow&& row) { table.add(std::move(row)); });
    // The rest of the file after an open quote would be one field: rather nothing than a guess.
    if (unclosed > 0)
        throw ExchangeError(cannotReadMessage(
            fileName, QStringLiteral("第 %1 行起的引号没有闭合，整个文件未导入（请检查该行的双引号）").arg(unclosed)));
    DraftSet set = table.finish();
    set.notes.prepend(QStringLiteral("编码：%1（%2）").arg(text.encoding, text.how));
    return set;
}

}  // namespace

DraftSet readCsvBytes(const QByteArray& bytes, const QString& fileName)
{
    return readCsvText(csvText(bytes, fileName), fileName);
}

DraftSet readCsvFile(const QString& path)
{
    return readCsvText(csvText(ReadWholeFile(path), path), path);
}
