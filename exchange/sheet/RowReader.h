#pragma once
// One row of a sheet as a contact draft, by what its header says each column
// means: candidates for a column compete by rank (the others go to 备注 under
// their label), parts of a name, an address or a birthday are put together
// when no whole value is given, and Outlook's filler values count as empty.

#include "exchange/ContactDraft.h"
#include "exchange/sheet/HeaderMeaning.h"
#include "exchange/sheet/SheetRows.h"

#include <QList>
#include <map>

class RowReader {
public:
    // The meanings of the header's cells by column; settles what depends on the
    // whole header (名字 beside 姓氏 or alone, address parts without a place).
    explicit RowReader(QList<HeaderMeaning> meanings);

    ContactDraft read(const SheetRow& row) const;

    // A column left of, inside or right of the header (right of it: kept under its number).
    const HeaderMeaning& meaningOf(int column) const;

private:
    QList<HeaderMeaning> meanings_;
    mutable std::map<int, HeaderMeaning> beyondHeader_;
};

// A column without a header name, kept under its number: "第3列".
HeaderMeaning numberedColumn(int column);

// A name put together from its parts: with a Han character, family name first
// and no blank between Han parts (王 + 建国 = 王建国); Latin ones given name
// first with one blank (John Smith).
QString nameFromParts(const QString& family, const QString& middle, const QString& given);
