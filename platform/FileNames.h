#pragma once
// Names on the disk the way the book's safety needs them: which file a name
// stands for, a private file made only where nothing is, a name given without
// replacing another. The calls that may fail return 0 when done, else the
// error number (errno's), so the caller can say what went wrong.

#include <QString>
#include <QtGlobal>
#include <optional>

// Which file a name stands for: another file put in its place has another identity.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
// nullopt when the name leads nowhere (or cannot be looked at).
std::optional<FileIdentity> IdentityOf(const QString& path);

// Makes an empty file under that name, its owner's only whatever the umask;
// EEXIST when anything has the name.
int CreatePrivateFile(const QString& path);

// Gives the file a new name unless something has it. EINVAL, ENOSYS, ENOTSUP or
// EOPNOTSUPP when the file system cannot rename without replacing.
int RenameWithoutReplacing(const QString& from, const QString& to);

// A second name (a hard link) for the file; EEXIST when the name is taken,
// EPERM or one of the above where the file system has no hard links.
int AddName(const QString& existing, const QString& name);

// Takes one name of a file away; nothing is said when it was not there.
void RemoveName(const QString& path);
