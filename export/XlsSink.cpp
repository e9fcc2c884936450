#include "XlsSink.h"

#include "platform/Errors.h"

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
    if (!handOn())
        throw EWriteError(QStringLiteral("写流出错"));
}

void XlsSink::FinishQuietly() noexcept
{
    handOn();
    pending_.clear();  // the target already holds what it could take
}

qint64 XlsSink::readData(char*, qint64)
{
    return -1;
}

qint64 XlsSink::writeData(const char* data, qint64 size)
{
    if (failed_)
        return -1;
    pending_.append(data, size);
    if (pending_.size() >= kPieceSize && !handOn())
        return -1;
    return size;
}

bool XlsSink::handOn() noexcept
{
    if (failed_)
        return false;
    if (pending_.isEmpty())
        return true;
    try {
        const QByteArray piece = std::exchange(pending_, QByteArray());
        pending_.reserve(kPieceSize + 1024);
        failed_ = target_.write(piece) != piece.size();
    } catch (...) {
        failed_ = true;  // out of memory, or a target that throws
    }
    return !failed_;
}
