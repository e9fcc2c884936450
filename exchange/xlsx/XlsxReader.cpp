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

namespace {

// Hands drafts on to a sink, all but the first skip ones, and counts them.
class DraftRelay : public DraftSink {
public:
    DraftRelay(DraftSink& to, int skip) : to_(to), skip_(skip) {}
    void take(ContactDraft&& draft) override
    {
        if (passed_++ >= skip_)
            to_.take(std::move(draft));
    }
    void take(DraftFailure&& failure) override { to_.take(std::move(failure)); }
    int passed() const { return passed_; }

private:
    DraftSink& to_;
    int skip_;
    int passed_ = 0;
};

}  // namespace

QStringList streamXlsxBytes(const QByteArray& bytes, const QString& fileName, DraftSink& sink)
{
    if (looksLikeOle2(bytes) || looksLikeBareBiff(bytes))
        return streamXlsBytes(bytes, fileName, sink);  // an .xls workbook under the newer name
    if (!bytes.startsWith("PK"))
        throw ExchangeError(
            cannotReadMessage(fileName, notWhatItSays(QStringLiteral(".xlsx 工作簿"), fileLook(bytes))));
    const ZipArchive archive(bytes, fileName);
    const XlsxParts parts = readXlsxParts(archive, fileName);
    const QByteArray sheet = archive.read(parts.sheetPath);
    DraftRelay fast(sink, 0);
    SheetTable table(fileName, fast);
    if (readXlsxSheetLightly(sheet, parts, [&](SheetRow&& row) { table.add(std::move(row)); }))
        return table.finish();
    // Where the fast reader gave up, the full one has read the same rows: it
    // reads them again, and hands on only the drafts after those.
    DraftRelay full(sink, fast.passed());
    SheetTable again(fileName, full);
    readXlsxSheetFully(sheet, parts, fileName, [&](SheetRow&& row) { again.add(std::move(row)); });
    return again.finish();
}

QStringList streamXlsxFile(const QString& path, DraftSink& sink)
{
    return streamXlsxBytes(ReadWholeFile(path), path, sink);
}

DraftSet readXlsxBytes(const QByteArray& bytes, const QString& fileName)
{
    return gatherDrafts([&](DraftSink& sink) { return streamXlsxBytes(bytes, fileName, sink); });
}

DraftSet readXlsxFile(const QString& path)
{
    return gatherDrafts([&](DraftSink& sink) { return streamXlsxFile(path, sink); });
}
