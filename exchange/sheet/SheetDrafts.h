#pragma once
// A sheet's rows as contact drafts, the same for every spreadsheet kind.
//
// The header is the first row, among the first 20 with text, whose cells
// mostly name columns we know (see HeaderMeaning); failing that, the first
// that names any. Rows above it (a merged title such as "某某公司通讯录") are
// no contacts. Below it every row with text is one draft, except section rows
// (one filled cell in the table's first column, such as "研发部", in a table
// of three or more columns), rows repeating the header and blank rows: those
// are skipped, and the file's notes name and count them. A value whose column
// has no place in the book becomes an extra under its header, so nothing is
// dropped unseen.

#include "exchange/ContactDraft.h"
#include "exchange/sheet/RowReader.h"
#include "exchange/sheet/SheetRows.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class SheetTable {
public:
    explicit SheetTable(QString fileName);

    // About how many rows will come, so the drafts' list grows once.
    void expectRows(qsizetype rows) { set_.drafts.reserve(rows); }
    // The sheet's rows in order, one at a time, so a large sheet is never held whole.
    void add(SheetRow row);
    // A row the reader could not read; it is reported at its line.
    void fail(int line, QString reason);
    // The drafts and the notes. ExchangeError when no row is a header.
    DraftSet finish();

private:
    void takeHeader(qsizetype index);
    void addBelowHeader(SheetRow&& row);
    bool isSectionRow(const SheetRow& row) const;
    bool repeatsHeader(const SheetRow& row) const;

    QString fileName_;
    DraftSet set_;
    QList<SheetRow> beforeHeader_;  // rows with text while the header is not yet found
    std::optional<RowReader> reader_;
    SheetRow header_;
    int headerColumns_ = 0;  // filled cells of the header
    int firstColumn_ = 0;    // the header's first filled cell
    int nextLine_ = 0;       // the line after the last row seen below the header
    int blankPending_ = 0;
    int blanks_ = 0;
    QStringList titles_, sections_, repeatedHeaders_;
};

DraftSet draftsFromSheet(const SheetRows& sheet, const QString& fileName);
