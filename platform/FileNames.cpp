#include "FileNames.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::optional<FileIdentity> IdentityOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return FileIdentity{quint64(info.st_dev), quint64(info.st_ino)};
}

int CreatePrivateFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    // The mode given to open passes through the umask; this one does not.
    ::fchmod(fd, 0600);
    ::close(fd);
    return 0;
}

int RenameWithoutReplacing(const QString& from, const QString& to)
{
    if (::renameat2(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD, QFile::encodeName(to).constData(),
                    RENAME_NOREPLACE)
        == 0)
        return 0;
    return errno;
}

int AddName(const QString& existing, const QString& name)
{
    if (::link(QFile::encodeName(existing).constData(), QFile::encodeName(name).constData()) == 0)
        return 0;
    return errno;
}

void RemoveName(const QString& path)
{
    ::unlink(QFile::encodeName(path).constData());
}
