#include "CsvReader.h"

#include "exchange/FileBytes.h"
#include "exchange/csv/CsvParser.h"
#include "exchange/csv/CsvText.h"
#include "exchange/sheet/FileLook.h"
#include "exchange/sheet/SheetDrafts.h"

namespace {

QStringList streamCsv(const PieceReader& file, const QString& fileName, DraftSink& sink)
{
    const FileLook look = fileLook(file.read(0, kFileLookBytes), file.size());
    if (!look.text)
        throw ExchangeError(cannotReadMessage(fileName, notWhatItSays(QStringLiteral("CSV 文本"), look)));
    const CsvEncoding encoding = detectCsvEncoding(file);
    SheetTable table(fileName, sink);
    const int unclosed = scanCsv(csvTextPieces(file, encoding), [&](SheetRow&& row) { table.add(std::move(row)); });
    // The rest of the file after an open quote would be one field: rather nothing than a guess.
    if (unclosed > 0)
        throw ExchangeError(cannotReadMessage(
            fileName, QStringLiteral("第 %1 行起的引号没有闭合，整个文件未导入（请检查该行的双引号）").arg(unclosed)));
    QStringList notes = table.finish();
    notes.prepend(QStringLiteral("编码：%1（%2）").arg(encoding.name, encoding.how));
    return notes;
}

}  // namespace

DraftSet readCsvBytes(const QByteArray& bytes, const QString& fileName)
{
    return gatherDrafts([&](DraftSink& sink) { return streamCsv(PieceReader(bytes), fileName, sink); });
}

DraftSet readCsvFile(const QString& path)
{
    return gatherDrafts([&](DraftSink& sink) { return streamCsvFile(path, sink); });
}

QStringList streamCsvFile(const QString& path, DraftSink& sink)
{
    return streamCsv(PieceReader(path), path, sink);
}
