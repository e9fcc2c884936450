#include "FileSafety.h"

#include <QFile>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

void KeepPrivate(const QString& path)
{
    ::chmod(QFile::encodeName(path).constData(), 0600);
}

std::optional<unsigned> AccessBits(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return unsigned(info.st_mode & 0777);
}

bool FlushToDisk(QFileDevice& file)
{
    return ::fsync(file.handle()) == 0;
}

bool LockAgainstOtherWriters(QFileDevice& file)
{
    return ::flock(file.handle(), LOCK_EX | LOCK_NB) == 0;
}

void ReleaseLock(QFileDevice& file)
{
    ::flock(file.handle(), LOCK_UN);
}
