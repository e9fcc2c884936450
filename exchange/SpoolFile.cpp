#include "SpoolFile.h"

#include "exchange/ContactDraft.h"

#include <QDir>

namespace {

constexpr qsizetype kPendingBytes = 1 << 20;

}  // namespace

SpoolFile::SpoolFile() : file_(QDir::tempPath() + QStringLiteral("/tessaly-import-XXXXXX"))
{
    if (!file_.open())
        fail();
    // Only the open handle is needed: without a name the file goes with the
    // process, even one that is killed, and no other program can find it.
    QFile::remove(file_.fileName());
}

void SpoolFile::fail()
{
    throw ExchangeError(
        QStringLiteral("无法使用临时文件 %1：%2").arg(QDir::toNativeSeparators(file_.fileName()), file_.errorString()));
}

void SpoolFile::write(const QByteArray& bytes)
{
    if (file_.pos() != written_ && !file_.seek(written_))
        fail();
    if (file_.write(bytes) != bytes.size())
        fail();
    written_ += bytes.size();
}

void SpoolFile::flush()
{
    if (pending_.isEmpty())
        return;
    write(pending_);
    pending_.resize(0);
}

qint64 SpoolFile::append(const QByteArray& bytes)
{
    const qint64 at = written_ + pending_.size();
    if (pending_.size() + bytes.size() > kPendingBytes)
        flush();
    if (bytes.size() >= kPendingBytes)
        write(bytes);
    else
        pending_ += bytes;
    return at;
}

QByteArray SpoolFile::read(qint64 offset, qint64 size)
{
    if (offset >= written_ && offset + size <= written_ + pending_.size())
        return pending_.sliced(offset - written_, size);
    if (offset + size > written_)
        flush();
    if (!file_.seek(offset))
        fail();
    QByteArray bytes = file_.read(size);
    if (bytes.size() != size)
        fail();
    return bytes;
}
