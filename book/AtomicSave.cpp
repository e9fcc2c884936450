#include "AtomicSave.h"

#include "exchange/ContactDraft.h"
#include "platform/FileMessages.h"
#include "platform/FileSafety.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>

void SaveAtomically(const QString& target, const std::function<void(const QString&)>& write)
{
    const QFileInfo info(target);
    if (info.isDir())
        throw ExchangeError(QStringLiteral("%1 是一个文件夹").arg(QDir::toNativeSeparators(target)));
    QTemporaryFile part(info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
    if (!part.open())
        throw ExchangeError(cannotWriteMessage(target, part.errorString()));
    part.close();
    write(part.fileName());
    // The data reaches the disk before the name does, so a crash never leaves a short file under it.
    QFile written(part.fileName());
    if (!written.open(QIODevice::ReadWrite) || !FlushToDisk(written))
        throw ExchangeError(cannotWriteMessage(target));
    written.close();
    // Contacts are private: every file written is its owner's only.
    KeepPrivate(part.fileName());
    if (std::rename(QFile::encodeName(part.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        throw ExchangeError(cannotWriteMessage(target));
    part.setAutoRemove(false);
}
