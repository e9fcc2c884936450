#include "Console.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <iterator>
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

termios echoingTerminal{};

// Ctrl+C while the echo is off: the terminal gets its echo back, then the
// signal ends the program as it would have.
extern "C" void restoreEchoAndDie(int signal)
{
    ::tcsetattr(STDIN_FILENO, TCSANOW, &echoingTerminal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The terminal's echo is off while this lives.
class EchoOff {
public:
    EchoOff()
    {
        saved_ = ::tcgetattr(STDIN_FILENO, &echoingTerminal) == 0;
        if (!saved_)
            return;
        for (size_t i = 0; i < std::size(Signals); ++i)
            previous_[i] = std::signal(Signals[i], restoreEchoAndDie);
        termios quiet = echoingTerminal;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    ~EchoOff()
    {
        if (!saved_)
            return;
        ::tcsetattr(STDIN_FILENO, TCSANOW, &echoingTerminal);
        for (size_t i = 0; i < std::size(Signals); ++i)
            std::signal(Signals[i], previous_[i]);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    static constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    void (*previous_[std::size(Signals)])(int) = {};
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
    InputLine typed;
    {
        // The echo goes off before the question shows, so nothing typed after it is shown or lost.
        const EchoOff quiet;
        const QByteArray text = prompt.toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
        std::fflush(stderr);
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
