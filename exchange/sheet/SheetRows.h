#pragma once
// A spreadsheet's cells as the readers find them, before the header decides
// what they mean. Rows keep only the cells that are there, so a cell far to the
// right costs one entry, not a row of empty ones.

#include <QList>
#include <QString>

struct SheetCell {
    int column = 0;  // 0-based
    QString text;    // as displayed: numbers without exponent, dates as YYYY-MM-DD

    bool operator==(const SheetCell&) const = default;
};

struct SheetRow {
    int line = 0;            // where the row starts in its file, 1-based (a CSV line, a sheet's row number)
    QList<SheetCell> cells;  // in column order, each column at most once
    int lines = 1;           // how many lines it takes (a CSV record with line breaks in quotes takes more)

    bool operator==(const SheetRow&) const = default;
};

struct SheetRows {
    QList<SheetRow> rows;
    // Rows the reader could not read, with their line (an unclosed quote, a cut-off file).
    struct Failure {
        int line = 0;
        QString reason;
    };
    QList<Failure> failures;
};
