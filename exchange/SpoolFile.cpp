#include "SpoolFile.h"

#include "exchange/ContactDraft.h"

#include <QDir>

SpoolFile::SpoolFile() : file_(QDir::tempPath() + QStringLiteral("/tessaly-import-XXXXXX"))
{
    if (!file_.open())
        fail();
}

void SpoolFile::fail()
{
    throw ExchangeError(
        QStringLiteral("无法使用临时文件 %1：%2").arg(QDir::toNativeSeparators(file_.fileName()), file_.errorString()));
}

qint64 SpoolFile::append(const QByteArray& bytes)
{
    const qint64 at = end_;
    if (file_.pos() != at && !file_.seek(at))
        fail();
    if (file_.write(bytes) != bytes.size())
        fail();
    end_ += bytes.size();
    return at;
}

QByteArray SpoolFile::read(qint64 offset, qint64 size)
{
    if (!file_.seek(offset))
        fail();
    QByteArray bytes = file_.read(size);
    if (bytes.size() != size)
        fail();
    return bytes;
}
