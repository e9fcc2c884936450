#include "XlsSink.h"

#include "Errors.h"

namespace {
constexpr qsizetype kPieceSize = 64 * 1024;
}

XlsSink::XlsSink(QIODevice& target) : target_(target)
{
    pending_.reserve(kPieceSize + 1024);
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

XlsSink::~XlsSink()
{
    FinishQuietly();
}

void XlsSink::Finish()
{
    flushPending();
}

void XlsSink::FinishQuietly() noexcept
{
    try {
        flushPending();
    } catch (...) {
        pending_.clear();  // the target already holds what it could take
    }
}

qint64 XlsSink::readData(char*, qint64)
{
    return -1;
}

qint64 XlsSink::writeData(const char* data, qint64 size)
{
    pending_.append(data, size);
    if (pending_.size() >= kPieceSize)
        flushPending();
    return size;
}

void XlsSink::flushPending()
{
    if (pending_.isEmpty())
        return;
    const QByteArray piece = std::exchange(pending_, QByteArray());
    pending_.reserve(kPieceSize + 1024);
    if (target_.write(piece) != piece.size())
        throw EWriteError(QStringLiteral("写流出错"));
}
