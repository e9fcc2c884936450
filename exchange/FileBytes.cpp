#include "FileBytes.h"

#include "exchange/ContactDraft.h"

#include <QDir>
#include <QFileInfo>

// Why a file could not be opened, in the words of the program rather than the system's English.
static QString reasonOf(const QFile& file)
{
    switch (file.error()) {
    case QFileDevice::PermissionsError: return QStringLiteral("没有权限");
    case QFileDevice::ResourceError: return QStringLiteral("磁盘已满或资源不足");
    default: break;
    }
    const QFileInfo info(file.fileName());
    if (info.isDir())
        return QStringLiteral("这是一个文件夹");
    if (!info.absoluteDir().exists())
        return QStringLiteral("文件夹不存在");
    if (!info.exists())
        return QStringLiteral("文件不存在");
    return file.errorString();
}

void OpenForReading(QFile& file)
{
    if (!file.open(QIODevice::ReadOnly))
        throw ExchangeError(cannotReadMessage(file.fileName(), reasonOf(file)));
}

void CheckReading(const QFile& file)
{
    if (file.error() != QFileDevice::NoError)
        throw ExchangeError(cannotReadMessage(file.fileName(), reasonOf(file)));
}

PieceReader::PieceReader(const QString& path) : file_(path)
{
    OpenForReading(file_);
    if (file_.isSequential()) {
        // A pipe cannot be read twice: it is read whole.
        bytes_ = file_.readAll();
        CheckReading(file_);
        file_.close();
        size_ = bytes_.size();
        return;
    }
    size_ = file_.size();
}

PieceReader::PieceReader(QByteArray bytes) : bytes_(std::move(bytes)), size_(bytes_.size()) {}

QByteArray PieceReader::read(qsizetype at, qsizetype length) const
{
    if (!file_.isOpen())
        return bytes_.mid(at, length);
    QByteArray piece;
    if (file_.seek(at))
        piece = file_.read(std::min(length, std::max<qsizetype>(size_ - at, 0)));
    CheckReading(file_);
    return piece;
}

QByteArray ReadWholeFile(const QString& path)
{
    QFile file(path);
    OpenForReading(file);
    QByteArray bytes = file.readAll();
    CheckReading(file);
    return bytes;
}

void OpenForWriting(QFile& file)
{
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ExchangeError(cannotWriteMessage(file.fileName(), reasonOf(file)));
}

void FinishWriting(QFile& file)
{
    const bool flushed = file.flush();
    if (!flushed || file.error() != QFileDevice::NoError) {
        const QString reason = reasonOf(file);
        file.close();
        throw ExchangeError(cannotWriteMessage(file.fileName(), reason));
    }
    file.close();
}

void WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    OpenForWriting(file);
    file.write(bytes);
    FinishWriting(file);
}
