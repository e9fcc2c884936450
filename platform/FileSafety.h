#pragma once
// What keeps a written file private, whole and unshared: its mode, its data
// on the disk before its name, a lock against another program writing it.

#include <QFileDevice>
#include <QString>
#include <optional>

// Contacts are private: the file becomes its owner's only (mode 0600). A file
// that cannot be changed keeps its mode; nothing is said.
void KeepPrivate(const QString& path);

// Who may read, write and run the file, as chmod's three octal digits
// (0644); nullopt when the name leads nowhere.
std::optional<unsigned> AccessBits(const QString& path);

// The open file's data reaches the disk; false when the system says it did not.
bool FlushToDisk(QFileDevice& file);

// Holds the open file against other programs that ask the same (advisory, the
// best Linux offers), without waiting; false with errno saying why
// (EWOULDBLOCK: another program holds it). ReleaseLock lets go before closing.
bool LockAgainstOtherWriters(QFileDevice& file);
void ReleaseLock(QFileDevice& file);
