#include "Console.h"

#include <cerrno>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

static void writeLine(FILE* stream, const QString& line)
{
    const QByteArray utf8 = line.toUtf8() + '\n';
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stream);
}

void StdConsole::out(const QString& line)
{
    writeLine(stdout, line);
}

void StdConsole::err(const QString& line)
{
    std::fflush(stdout);  // the error follows what the report said before it
    writeLine(stderr, line);
}

bool StdConsole::outIsTerminal() const
{
    return ::isatty(STDOUT_FILENO) == 1;
}

void CapturingConsole::out(const QString& line)
{
    outLines << line;
    allLines << line;
    if (next_)
        next_->out(line);
}

void CapturingConsole::err(const QString& line)
{
    errLines << line;
    allLines << line;
    if (next_)
        next_->err(line);
}

bool StdConsole::canAsk() const
{
    return ::isatty(STDIN_FILENO) == 1;
}

namespace {

// The terminal's echo is off while this lives.
class EchoOff {
public:
    EchoOff()
    {
        saved_ = ::tcgetattr(STDIN_FILENO, &old_) == 0;
        if (!saved_)
            return;
        termios quiet = old_;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    ~EchoOff()
    {
        if (saved_)
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &old_);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios old_{};
    bool saved_ = false;
};

struct InputLine {
    QByteArray bytes;
    bool ended = false;   // the input ended before any byte
    bool failed = false;  // it could not be read
};

// Bytes up to the first line end (dropped, with a CR before it), one read at a
// time so nothing after it is taken from the input.
InputLine readLine(int fd)
{
    constexpr qsizetype Longest = 4096;  // far beyond any password the book can hold
    InputLine line;
    bool any = false;
    for (char c = 0;;) {
        const ssize_t n = ::read(fd, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            line.failed = true;
            return line;
        }
        if (n == 0 || c == '\n')
            break;
        any = true;
        if (line.bytes.size() < Longest)
            line.bytes += c;
    }
    line.ended = !any;
    if (line.bytes.endsWith('\r'))
        line.bytes.chop(1);
    return line;
}

}  // namespace

std::optional<QString> StdConsole::askHidden(const QString& prompt)
{
    std::fflush(stdout);
    const QByteArray text = prompt.toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    std::fflush(stderr);
    InputLine typed;
    {
        const EchoOff quiet;
        typed = readLine(STDIN_FILENO);
    }
    std::fputc('\n', stderr);  // the line end the typing did not show
    if (typed.failed || typed.ended)
        return std::nullopt;
    return QString::fromUtf8(typed.bytes);
}

std::optional<QByteArray> StdConsole::inputLine()
{
    InputLine line = readLine(STDIN_FILENO);
    if (line.failed)
        return std::nullopt;
    return line.bytes;
}

std::optional<QString> CapturingConsole::askHidden(const QString& prompt)
{
    if (next_)
        return next_->askHidden(prompt);
    prompts << prompt;
    if (!answers || answers->isEmpty())
        return std::nullopt;
    return answers->takeFirst();
}
