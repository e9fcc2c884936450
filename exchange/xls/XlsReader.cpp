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
DraftSet readXls(const QByteArray& bytes, const QString& fileName, const QString& workbookPath)
{
    if (looksLikeBareBiff(bytes))
        return draftsFromSheet(readBareBiff(bytes), fileName);
    if (bytes.startsWith("PK\x03\x04"))
        return readXlsxBytes(bytes, fileName);  // an .xlsx workbook under the older name
    if (!looksLikeOle2(bytes))
        throw ExchangeError(
            cannotReadMessage(fileName, notWhatItSays(QStringLiteral(".xls 电子表格"), fileLook(bytes))));
    if (!workbookPath.isEmpty())
        return draftsFromSheet(readOle2Workbook(workbookPath, fileName), fileName);
    QTemporaryFile copy;
    if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush())
        throw ExchangeError(cannotReadMessage(fileName, copy.errorString()));
    return draftsFromSheet(readOle2Workbook(copy.fileName(), fileName), fileName);
}

}  // namespace

DraftSet readXlsBytes(const QByteArray& bytes, const QString& fileName)
{
    return readXls(bytes, fileName, QString());
}

DraftSet readXlsFile(const QString& path)
{
    return readXls(ReadWholeFile(path), path, path);
}
