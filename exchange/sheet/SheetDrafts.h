#pragma once
// A sheet's rows as contact drafts, the same for every spreadsheet kind.
//
// The header is the first row, among the first 20 with text, whose cells
// mostly name columns we know (see HeaderMeaning); failing that, the first
// that names any. Rows above it (a merged title such as "某某公司通讯录") are
// no contacts. Below it every row with text is one draft, except section rows
// (one filled cell in the table's first column, such as "研发部", in a table
// of three or more columns), rows repeating the header or numbering its
// columns (1, 2, 3 ...) and blank rows: those
// are skipped, and the file's notes name and count them. A value whose column
// has no place in the book becomes an extra under its header, so nothing is
// dropped unseen.

#include "exchange/ContactDraft.h"
#include "exchange/sheet/RowReader.h"
#include "exchange/sheet/SheetRows.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class SheetTable {
public:
    // Each draft goes to sink as soon as its row is read (the rows above the
    // header once it is found), so that a large sheet is never held whole.
    SheetTable(QString fileName, DraftSink& sink);

    // The sheet's rows in order, one at a time.
    void add(SheetRow row);
    // A row the reader could not read; it is reported at its line.
    void fail(int line, QString reason);
    // The notes about the whole sheet; the failures go to the sink, in line
    // order. ExchangeError when no row is a header.
    QStringList finish();

private:
    void takeHeader(qsizetype index);
    void addBelowHeader(SheetRow&& row);
    bool isSectionRow(const SheetRow& row) const;
    bool repeatsHeader(const SheetRow& row) const;
    bool numbersColumns(const SheetRow& row) const;

    QString fileName_;
    DraftSink& sink_;
    QList<DraftFailure> failures_;
    QList<SheetRow> beforeHeader_;  // rows with text while the header is not yet found
    std::optional<RowReader> reader_;
    SheetRow header_;
    int headerColumns_ = 0;  // filled cells of the header
    int firstColumn_ = 0;    // the header's first filled cell
    int nextLine_ = 0;       // the line after the last row seen below the header
    int blankPending_ = 0;
    int blanks_ = 0;
    QStringList titles_, sections_, repeatedHeaders_, columnNumbers_;
};

// The drafts of a sheet read whole; streamSheet hands them to sink and returns the notes.
DraftSet draftsFromSheet(const SheetRows& sheet, const QString& fileName);
QStringList streamSheet(const SheetRows& sheet, const QString& fileName, DraftSink& sink);

// What a reader that hands its drafts to a sink gives, gathered into a set:
// read hands them on and returns the notes.
DraftSet gatherDrafts(const std::function<QStringList(DraftSink&)>& read);
