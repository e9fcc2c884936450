#include "Terminal.h"

#include <cerrno>
#include <csignal>
#include <iterator>
#include <termios.h>
#include <unistd.h>

namespace {

termios echoingTerminal{};

constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void restoreEchoAndDie(int signal)
{
    ::tcsetattr(STDIN_FILENO, TCSANOW, &echoingTerminal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

bool OutputIsTerminal()
{
    return ::isatty(STDOUT_FILENO) == 1;
}

bool InputIsTerminal()
{
    return ::isatty(STDIN_FILENO) == 1;
}

EchoOff::EchoOff()
{
    static_assert(std::size(Signals) == SignalCount);
    saved_ = ::tcgetattr(STDIN_FILENO, &echoingTerminal) == 0;
    if (!saved_)
        return;
    for (size_t i = 0; i < std::size(Signals); ++i)
        previous_[i] = std::signal(Signals[i], restoreEchoAndDie);
    termios quiet = echoingTerminal;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
}

EchoOff::~EchoOff()
{
    if (!saved_)
        return;
    ::tcsetattr(STDIN_FILENO, TCSANOW, &echoingTerminal);
    for (size_t i = 0; i < std::size(Signals); ++i)
        std::signal(Signals[i], previous_[i]);
}

InputLine ReadInputLine()
{
    constexpr qsizetype Longest = 4096;  // far beyond any password the book can hold
    InputLine line;
    bool any = false;
    for (char c = 0;;) {
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
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
