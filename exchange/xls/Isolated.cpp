#include "Isolated.h"

#include "exchange/ContactDraft.h"
#include "exchange/FileBytes.h"

#include <QDataStream>
#include <QIODevice>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A workbook of 100,000 contacts takes a few seconds; a reader still busy after this is stuck.
constexpr int kTimeoutMs = 120 * 1000;

enum Outcome : qint32 { Rows = 0, Refused = 1 };

QByteArray encode(const SheetRows& sheet)
{
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream << qint32(Rows) << qint32(sheet.rows.size());
    for (const SheetRow& row : sheet.rows) {
        stream << qint32(row.line) << qint32(row.cells.size());
        for (const SheetCell& cell : row.cells)
            stream << qint32(cell.column) << cell.text;
    }
    stream << qint32(sheet.failures.size());
    for (const SheetRows::Failure& f : sheet.failures)
        stream << qint32(f.line) << f.reason;
    return out;
}

QByteArray encodeRefusal(const QString& message)
{
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream << qint32(Refused) << message;
    return out;
}

// The child's answer; false when it is cut short or malformed.
bool decode(const QByteArray& bytes, SheetRows& sheet, QString& refusal)
{
    QDataStream stream(bytes);
    qint32 outcome = -1, count = 0;
    stream >> outcome;
    if (outcome == Refused) {
        stream >> refusal;
        return stream.status() == QDataStream::Ok;
    }
    stream >> count;
    for (qint32 r = 0; r < count && stream.status() == QDataStream::Ok; ++r) {
        SheetRow row;
        qint32 line = 0, cells = 0;
        stream >> line >> cells;
        row.line = line;
        for (qint32 c = 0; c < cells && stream.status() == QDataStream::Ok; ++c) {
            qint32 column = 0;
            QString text;
            stream >> column >> text;
            row.cells.append({column, text});
        }
        sheet.rows.append(std::move(row));
    }
    stream >> count;
    for (qint32 f = 0; f < count && stream.status() == QDataStream::Ok; ++f) {
        qint32 line = 0;
        QString reason;
        stream >> line >> reason;
        sheet.failures.append({line, reason});
    }
    return outcome == Rows && stream.status() == QDataStream::Ok && stream.atEnd();
}

[[noreturn]] void childMain(int out, const std::function<SheetRows()>& read)
{
    QByteArray answer;
    try {
        answer = encode(read());
    } catch (const ExchangeError& e) {
        answer = encodeRefusal(e.message());
    } catch (...) {
        _exit(2);
    }
    qsizetype written = 0;
    while (written < answer.size()) {
        const ssize_t n = ::write(out, answer.constData() + written, static_cast<size_t>(answer.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            _exit(3);
        written += n;
    }
    _exit(0);  // no static destructors, no atexit handlers of the parent's
}

// Everything the child writes until it closes the pipe; false on a timeout.
bool readAnswer(int in, QByteArray& answer)
{
    char piece[64 * 1024];
    for (;;) {
        pollfd waiting{in, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, kTimeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t n = ::read(in, piece, sizeof piece);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0;
        answer.append(piece, n);
    }
}

}  // namespace

SheetRows runIsolated(const QString& fileName, const std::function<SheetRows()>& read)
{
    const QString damaged = cannotReadMessage(fileName, QStringLiteral("工作簿已损坏，无法读取"));
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw ExchangeError(cannotReadMessage(fileName, QString::fromLocal8Bit(std::strerror(errno))));
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw ExchangeError(cannotReadMessage(fileName, QString::fromLocal8Bit(std::strerror(errno))));
    }
    if (child == 0) {
        ::close(fds[0]);
        childMain(fds[1], read);
    }
    ::close(fds[1]);
    QByteArray answer;
    const bool complete = readAnswer(fds[0], answer);
    ::close(fds[0]);
    if (!complete)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    SheetRows sheet;
    QString refusal;
    if (!complete || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || !decode(answer, sheet, refusal))
        throw ExchangeError(damaged);
    if (!refusal.isEmpty())
        throw ExchangeError(refusal);
    return sheet;
}
