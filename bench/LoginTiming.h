#pragma once
// Timing a program until its login window shows, on a display of its own:
// shared by the start-up benchmarks of both programs.

#include "bench/ProcessTiming.h"
#include "bench/XMapWatch.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <vector>

#include <csignal>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>

// Microseconds of CPU a running process has used so far (user and system), all
// its threads, those that have ended included; -1 when it cannot be read.
inline qint64 processCpuUs(qint64 pid)
{
    clockid_t clock{};
    timespec used{};
    if (clock_getcpuclockid(pid_t(pid), &clock) != 0 || clock_gettime(clock, &used) != 0)
        return -1;
    return qint64(used.tv_sec) * 1000000 + used.tv_nsec / 1000;
}

inline qint64 processCpuMs(qint64 pid)
{
    const qint64 us = processCpuUs(pid);
    return us < 0 ? -1 : us / 1000;
}

// A program to be started showing its windows on the display named, its output dropped.
inline void ShowOn(QProcess& process, const QString& displayName)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), displayName);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process.setProcessEnvironment(env);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
}

// Milliseconds from starting the program until a window titled 登录 is mapped; -1 after 20 s.
// cpuMs, when given, gets the CPU time the program had used by then.
inline qint64 timeToLoginWindow(XMapWatch& watch, const QString& program, const QStringList& arguments,
                                const QString& displayName, qint64* cpuMs = nullptr)
{
    watch.arm();
    QProcess process;
    ShowOn(process, displayName);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    const bool shown = watch.waitForMapped("登录", 20000);
    const qint64 elapsed = timer.elapsed();
    if (cpuMs)
        *cpuMs = processCpuMs(process.processId());
    process.kill();
    process.waitForFinished();
    return shown ? elapsed : -1;
}

// A busy loop holding one core while it lives, as another program would on a
// person's machine: a process of its own, so that nothing it does is counted
// as the bench's or the timed program's.
class BusyCore {
public:
    BusyCore() : pid_(::fork())
    {
        if (pid_ == 0) {
            volatile unsigned long spin = 0;
            for (;;)
                spin = spin + 1;
        }
    }
    ~BusyCore()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    BusyCore(const BusyCore&) = delete;
    BusyCore& operator=(const BusyCore&) = delete;
    bool running() const { return pid_ > 0; }

private:
    pid_t pid_;
};

// The sqlcipher shell opening the book with its key and reading every row into
// /dev/null, as a person would time it: wall clock and processor time in ms.
struct ShellRead {
    qint64 wallMs = -1;
    qint64 cpuMs = -1;
};

inline ShellRead timeOfShellRead(const QString& book)
{
    ShellRead run;
    QProcess shell;
    shell.setStandardOutputFile(QProcess::nullDevice());
    const double cpuBefore = childrenCpuMs();
    QElapsedTimer timer;
    timer.start();
    shell.start(QStringLiteral("sqlcipher"),
                {book, QStringLiteral("PRAGMA key='%1'; select * from rem;").arg(ContactSchema::DatabasePassword())});
    if (shell.waitForFinished(60000) && shell.exitCode() == 0) {
        run.wallMs = timer.elapsed();
        run.cpuMs = qint64(childrenCpuMs() - cpuBefore + 0.5);
    }
    return run;
}

// The load average of the last minute: the wall clock means little without it.
inline QByteArray loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').value(0) : QByteArray("?");
}

// A display to run on: the given one, or an Xvfb of our own (black, so drawn rows show).
class XServer {
public:
    XServer()
    {
        name_ = qEnvironmentVariable("DISPLAY");
        if (!name_.isEmpty())
            return;
        server_.start(QStringLiteral("Xvfb"),
                      {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                       QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-br"),
                       QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (server_.waitForReadyRead(10000))
            name_ = u':' + QString::fromLatin1(server_.readLine().trimmed());
    }
    ~XServer()
    {
        if (server_.state() != QProcess::NotRunning) {
            server_.terminate();
            server_.waitForFinished();
        }
    }
    const QString& name() const { return name_; }

private:
    QProcess server_;
    QString name_;
};
