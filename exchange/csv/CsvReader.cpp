#include "CsvReader.h"

#include "exchange/FileBytes.h"
#include "exchange/csv/CsvParser.h"
#include "exchange/csv/CsvText.h"
#include "exchange/sheet/FileLook.h"
#include "exchange/sheet/SheetDrafts.h"

#include <algorithm>

namespace {

// About as many rows as the lines at the file's start promise for the whole
// file; beyond a million the drafts' list grows by itself.
qsizetype expectedRows(const QByteArray& head, qsizetype fileSize)
{
    const qsizetype lines = head.count('\n') + 1;
    if (head.size() >= fileSize)
        return lines;
    return std::min<qsizetype>(static_cast<qsizetype>(static_cast<double>(lines) * fileSize / head.size()), 1 << 20);
}

DraftSet readCsv(const PieceReader& file, const QString& fileName)
{
    const QByteArray head = file.read(0, kFileLookBytes);
    const FileLook look = fileLook(head, file.size());
    if (!look.text)
        throw ExchangeError(cannotReadMessage(fileName, notWhatItSays(QStringLiteral("CSV 文本"), look)));
    const CsvEncoding encoding = detectCsvEncoding(file);
    SheetTable table(fileName);
    table.expectRows(expectedRows(head, file.size()));
    const int unclosed = scanCsv(csvTextPieces(file, encoding), [&](SheetRow&& row) { table.add(std::move(row)); });
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
    return readCsv(PieceReader(bytes), fileName);
}

DraftSet readCsvFile(const QString& path)
{
    return readCsv(PieceReader(path), path);
}
