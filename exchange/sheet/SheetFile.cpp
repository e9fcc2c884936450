#include "SheetFile.h"

#include "ContactDraft.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
// Far beyond 100,000 contacts in any of the formats; a larger file is not a contact list.
constexpr qint64 kMaxSheetFile = 512LL * 1024 * 1024;

QString cannotWrite(const QString& path, const QString& why)
{
    return QStringLiteral("无法写入文件“%1”:%2").arg(path, why);
}
} // namespace

QString cannotReadMessage(const QString& path, const QString& why)
{
    return QStringLiteral("无法读取文件“%1”:%2").arg(path, why);
}

QByteArray readSheetFile(const QString& path)
{
    QFile file(path);
    if (QFileInfo(path).isDir())
        throw ExchangeError(cannotReadMessage(path, QStringLiteral("这是一个文件夹")));
    if (!file.open(QIODevice::ReadOnly))
        throw ExchangeError(cannotReadMessage(path, file.exists() ? file.errorString() : QStringLiteral("文件不存在")));
    if (file.size() > kMaxSheetFile)
        throw ExchangeError(cannotReadMessage(path, QStringLiteral("文件太大")));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ExchangeError(cannotReadMessage(path, file.errorString()));
    return bytes;
}

void writeSheetFileVia(const QString& path, const std::function<void(const QString&)>& write)
{
    const QFileInfo target(path);
    if (target.isDir())
        throw ExchangeError(cannotWrite(path, QStringLiteral("这是一个文件夹")));
    QTemporaryFile temporary(target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
    if (!temporary.open())
        throw ExchangeError(cannotWrite(path, temporary.errorString()));
    const QString temporaryPath = temporary.fileName();
    temporary.close();
    write(temporaryPath);
    // rename() replaces an existing file in one step: readers see the old file or the new one.
    if (std::rename(QFile::encodeName(temporaryPath).constData(), QFile::encodeName(path).constData()) != 0)
        throw ExchangeError(cannotWrite(path, QString::fromLocal8Bit(std::strerror(errno))));
    temporary.setAutoRemove(false);
    // The temporary file was made private (0600); the export is an ordinary file.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                    | QFileDevice::ReadOther);
}

void writeSheetFile(const QString& path, const QByteArray& bytes)
{
    writeSheetFileVia(path, [&](const QString& temporaryPath) {
        QFile file(temporaryPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
            throw ExchangeError(cannotWrite(path, file.errorString()));
        file.close();
        if (file.error() != QFileDevice::NoError)
            throw ExchangeError(cannotWrite(path, file.errorString()));
    });
}
