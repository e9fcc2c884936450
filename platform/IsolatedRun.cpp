#include "IsolatedRun.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

[[noreturn]] void childMain(int out, const std::function<QByteArray()>& work)
{
    QByteArray answer;
    try {
        answer = work();
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
bool readAnswer(int in, int timeoutMs, QByteArray& answer)
{
    char piece[64 * 1024];
    for (;;) {
        pollfd waiting{in, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, timeoutMs);
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

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

}  // namespace

IsolatedRun RunIsolated(const std::function<QByteArray()>& work, int timeoutMs)
{
    IsolatedRun run;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        run.startError = systemError();
        return run;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        run.startError = systemError();
        ::close(fds[0]);
        ::close(fds[1]);
        return run;
    }
    if (child == 0) {
        ::close(fds[0]);
        childMain(fds[1], work);
    }
    run.started = true;
    ::close(fds[1]);
    run.answered = readAnswer(fds[0], timeoutMs, run.answer);
    ::close(fds[0]);
    if (!run.answered)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    run.exitedCleanly = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}
