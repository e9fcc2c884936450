#pragma once
// A consistent copy of an open book and the check that a book is sound, both
// through SQLite itself, so they work while another program has the book open.

#include <QString>
#include <QStringList>

class TADOConnection;

// Copies the connection's database into a new file with the same key, by the
// online backup: one read of the whole book, so a second copy writing at the
// same time makes the copy wait or come out as it was before or after that
// write, never half of it. The copy is written beside the target and checked
// before it takes the target's name; an existing file is never replaced.
// Raises EDatabaseError "<connection name>: <reason>"; on failure no file is left.
void BackupDatabase(TADOConnection& source, const QString& targetFile, const QString& password);

// The lines of PRAGMA integrity_check: exactly {"ok"} for a sound book.
// Raises EDatabaseError when the book cannot be read far enough to check it.
QStringList IntegrityCheck(TADOConnection& connection);
