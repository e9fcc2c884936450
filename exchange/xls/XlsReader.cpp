#include "XlsReader.h"

#include "exchange/FileBytes.h"
#include "exchange/sheet/FileLook.h"
#include "exchange/sheet/SheetDrafts.h"
#include "exchange/xls/BareBiffReader.h"
#include "exchange/xls/FreeXlReader.h"
#include "exchange/xlsx/XlsxReader.h"

#include <QTemporaryFile>

namespace {

// workbookPath is where FreeXL finds the same bytes, or empty for a temporary copy.
QStringList streamXls(const QByteArray& bytes, const QString& fileName, const QString& workbookPath, DraftSink& sink)
{
    if (looksLikeBareBiff(bytes))
        return streamSheet(readBareBiff(bytes), fileName, sink);
    if (bytes.startsWith("PK\x03\x04"))
        return streamXlsxBytes(bytes, fileName, sink);  // an .xlsx workbook under the older name
    if (!looksLikeOle2(bytes))
        throw ExchangeError(
            cannotReadMessage(fileName, notWhatItSays(QStringLiteral(".xls 电子表格"), fileLook(bytes))));
    if (!workbookPath.isEmpty())
        return streamSheet(readOle2Workbook(workbookPath, fileName), fileName, sink);
    QTemporaryFile copy;
    if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush())
        throw ExchangeError(cannotReadMessage(fileName, copy.errorString()));
    return streamSheet(readOle2Workbook(copy.fileName(), fileName), fileName, sink);
}

}  // namespace

QStringList streamXlsBytes(const QByteArray& bytes, const QString& fileName, DraftSink& sink)
{
    return streamXls(bytes, fileName, QString(), sink);
}

QStringList streamXlsFile(const QString& path, DraftSink& sink)
{
    return streamXls(ReadWholeFile(path), path, path, sink);
}

DraftSet readXlsBytes(const QByteArray& bytes, const QString& fileName)
{
    return gatherDrafts([&](DraftSink& sink) { return streamXlsBytes(bytes, fileName, sink); });
}

DraftSet readXlsFile(const QString& path)
{
    return gatherDrafts([&](DraftSink& sink) { return streamXlsFile(path, sink); });
}
