#pragma once
// How a table shares its width among columns that want room for their
// content: every column gets what it needs while the room allows; when it
// does not, a column of long free text (备注) gives way first, and then the
// widest are cut to one common width, so narrow columns (a birthday, a QQ
// number) are never cut to make room for a long address. The last column (an
// explanation) takes what is left, never less than its least.

#include <QList>

class QTableView;

struct ColumnFit {
    int lastLeast = 0;      // the last column is never narrower
    int widest = 0;         // no column asks for more (a long text is not shown whole): 0 for no bound
    int yielding = -1;      // the column that gives way first, or none
    int yieldingLeast = 0;  // and the least it keeps
};

// The widths for the columns that want wanted[i] (the last one's want aside)
// in a room that wide.
QList<int> FitColumnWidths(const QList<int>& wanted, int room, const ColumnFit& fit);

// Sizes the view's columns to their content (the rows in view, and the
// header) as FitColumnWidths shares them out.
void FitColumnsToContent(QTableView* view, const ColumnFit& fit);
// The same now and whenever the view is resized or its model shows other rows.
void KeepColumnsFitted(QTableView* view, const ColumnFit& fit);
