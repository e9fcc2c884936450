#pragma once
// A change that takes records away or puts another file in the book's place
// (a restore, a merge, the deletions of a sync) is refused while another
// program has the book open: the window program keeps its records in memory
// and would go on showing, and writing back, records that are gone.

#include <QString>

// Raises ExchangeError naming the first other process that holds the book,
// and what to do ("…再合并"); returns when none does.
void RefuseWhileHeld(const QString& book, const QString& change);
