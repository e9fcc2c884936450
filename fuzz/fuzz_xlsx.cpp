// .xlsx import on any bytes: never crashes, never inflates a part without
// bound, refuses with ExchangeError only. A zip archive goes through the whole
// reader; anything else is taken as a worksheet's XML, so the mutations reach
// the cell parser without first having to make a valid zip. Where the fast
// sheet reader does not give up, QXmlStreamReader reads the same rows.

#include "exchange/sheet/SheetDrafts.h"
#include "exchange/xlsx/XlsxReader.h"
#include "exchange/xlsx/XlsxSheet.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

namespace {

const XlsxParts& sampleParts()
{
    static const XlsxParts parts = [] {
        XlsxParts p;
        p.sheetPath = QStringLiteral("xl/worksheets/sheet1.xml");
        p.sharedStrings = {QStringLiteral("姓名"), QStringLiteral("电话"), QStringLiteral("生日"),
                           QStringLiteral("王五")};
        p.dateStyles = {false, true};
        return p;
    }();
    return parts;
}

void checkFastReader(const QByteArray& xml)
{
    QList<SheetRow> light, full;
    if (!readXlsxSheetLightly(xml, sampleParts(), [&](SheetRow&& row) { light.append(row); }))
        return;
    try {
        readXlsxSheetFully(xml, sampleParts(), QStringLiteral("fuzz.xlsx"), [&](SheetRow&& row) { full.append(row); });
    } catch (const ExchangeError&) {
        std::abort();  // the fast reader took what is no XML
    }
    if (light != full)
        std::abort();
}

void checkLines(const DraftSet& set)
{
    for (const ContactDraft& draft : set.drafts)
        if (draft.line < 1)
            std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        if (bytes.startsWith("PK")) {
            checkLines(readXlsxBytes(bytes, QStringLiteral("fuzz.xlsx")));
        } else {
            checkFastReader(bytes);
            checkLines(draftsFromSheet(readXlsxSheet(bytes, sampleParts(), QStringLiteral("fuzz.xlsx")),
                                       QStringLiteral("fuzz.xlsx")));
        }
    } catch (const ExchangeError&) {
    }
    return 0;
}
