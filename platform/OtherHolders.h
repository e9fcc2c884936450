#pragma once
// Which other processes hold a file open, read from /proc: how an import can
// tell that the window program has the book open and will not see the new
// contacts before its next start, and how a start tells a creation still at
// work from one that was killed.

#include <QList>
#include <QString>

// Process ids of other processes with the file open; empty when none or when
// /proc cannot tell.
QList<qint64> OtherHolders(const QString& path);
// The name the process runs under ("tessaly"), from /proc; empty when gone or unreadable.
QString ProcessName(qint64 pid);
