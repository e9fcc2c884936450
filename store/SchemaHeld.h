#pragma once
// Whether the book holds tables and triggers exactly as this program made
// them: a count or a record of changes kept by triggers is only trusted then.

#include <QStringList>

struct sqlite3;

// True when every one of the statements is in the book's schema. SQLite keeps
// a statement as written with its first words upper-cased, so letter case is
// not compared (no statement made here holds a quoted text). Raises
// SqliteFailure.
bool HoldsAsMade(sqlite3* db, const QStringList& statements);
