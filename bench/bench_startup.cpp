// Start-up with 100,000 contacts: how long the real program takes until its login
// window is mapped on an X display, and from Enter in 登录 until the grid's rows
// are drawn (wall clock, and the program's processor time until it is idle
// again), beside how long the sqlcipher shell takes to open the same file with
// its key and read every row. Run by hand; starts its own Xvfb (black root, so
// a window not yet drawn shows black) when no display is given.
#include "bench/ContactBookFill.h"
#include "bench/LoginTiming.h"
#include "bench/XMapWatch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int Contacts = 100000;
constexpr int Runs = 7;

// Waits until the process has used no processor time for quietMs; its processor time then.
qint64 processorTimeOnceQuiet(qint64 pid, int quietMs)
{
    qint64 last = processCpuUs(pid);
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < quietMs) {
        QThread::msleep(5);
        const qint64 now = processCpuUs(pid);
        if (now != last) {
            last = now;
            quiet.restart();
        }
    }
    return last;
}

struct ProgramRun {
    qint64 loginShownMs = -1;  // start to the login window mapped, wall clock
    qint64 loginCpuMs = -1;    // processor time of the program by then, all its threads
    qint64 mainMappedMs = -1;  // Enter in 登录 to the main window mapped, wall clock
    qint64 rowsShownMs = -1;   // Enter in 登录 to the grid's rows drawn, wall clock
    qint64 gridCpuMs = -1;     // processor time of the program from Enter until it is idle again
};

// Starts the program, waits for its login window, logs in with the factory
// password and waits for the grid's rows.
ProgramRun runProgram(XMapWatch& watch, const QString& program, const QString& displayName, bool logIn)
{
    ProgramRun run;
    watch.arm();
    QProcess process;
    ShowOn(process, displayName);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    const unsigned long login = watch.waitForMapped("登录", 20000);
    if (login != 0) {
        run.loginShownMs = timer.elapsed();
        run.loginCpuMs = processCpuMs(process.processId());
    }
    if (login != 0 && logIn) {
        // Whatever the start-up still does after the window is mapped is not the login's.
        const qint64 before = processorTimeOnceQuiet(process.processId(), 300);
        watch.arm();
        watch.typeLine(login, "480917");
        timer.restart();
        const unsigned long main = watch.waitForMapped("Tessaly", 20000);
        if (main != 0)
            run.mainMappedMs = timer.elapsed();
        if (main != 0 && watch.waitForRows(main, 0.65, 0.9, 20000))
            run.rowsShownMs = timer.elapsed();
        run.gridCpuMs = (processorTimeOnceQuiet(process.processId(), 200) - before) / 1000;
    }
    process.kill();
    process.waitForFinished();
    return run;
}

struct ShellRun {
    qint64 wallMs = -1;
    qint64 cpuMs = -1;
};

qint64 childrenProcessorTimeUs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return qint64(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000 + usage.ru_utime.tv_usec
           + usage.ru_stime.tv_usec;
}

// The sqlcipher shell opening the book with its key and reading every row.
ShellRun timeOfShellRead(const QString& database)
{
    ShellRun run;
    QProcess shell;
    shell.setStandardOutputFile(QProcess::nullDevice());
    const qint64 cpuBefore = childrenProcessorTimeUs();
    QElapsedTimer timer;
    timer.start();
    shell.start(
        QStringLiteral("sqlcipher"),
        {database, QStringLiteral("PRAGMA key='%1'; select * from rem;").arg(ContactSchema::DatabasePassword())});
    shell.waitForFinished(60000);
    if (shell.exitCode() == 0) {
        run.wallMs = timer.elapsed();
        run.cpuMs = (childrenProcessorTimeUs() - cpuBefore) / 1000;
    }
    return run;
}

// The load average of the last minute: the wall clock means little without it.
QByteArray loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').value(0) : QByteArray("?");
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    // The program finds its book beside its executable: run a copy in the temporary folder.
    const QString program = dir.filePath(QStringLiteral("tessaly"));
    const QString database = dir.filePath(QStringLiteral("Kalvo.mdb"));
    // Another build of the program, to compare, may be named on the command line.
    const QString built = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TESSALY_EXECUTABLE);
    if (!QFile::copy(built, program)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(built));
        return 1;
    }
    MakeContactBook(database, Contacts, 0);
    XServer server;
    XMapWatch watch(server.name().toStdString());
    if (server.name().isEmpty() || !watch.connected()) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }

    const QByteArray loadBefore = loadAverage();
    // The first start stores the factory password and warms the file cache; it is not counted.
    runProgram(watch, program, server.name(), false);
    std::vector<qint64> login_ms, login_cpu_ms, rows_ms, grid_cpu_ms, shell_ms, shell_cpu_ms;
    for (int run = 0; run < Runs; ++run) {
        const ProgramRun started = runProgram(watch, program, server.name(), true);
        const ShellRun read = timeOfShellRead(database);
        if (started.loginShownMs < 0 || started.rowsShownMs < 0 || read.wallMs < 0) {
            std::fprintf(stderr, "a run failed\n");
            return 1;
        }
        std::fprintf(stderr,
                     "run %d: login %lld ms (%lld ms processor), shell %lld ms (%lld ms processor), Enter to main "
                     "mapped %lld ms, to rows %lld ms, %lld ms processor\n",
                     run + 1, started.loginShownMs, started.loginCpuMs, read.wallMs, read.cpuMs, started.mainMappedMs,
                     started.rowsShownMs, started.gridCpuMs);
        login_ms.push_back(started.loginShownMs);
        login_cpu_ms.push_back(started.loginCpuMs);
        rows_ms.push_back(started.rowsShownMs);
        grid_cpu_ms.push_back(started.gridCpuMs);
        shell_ms.push_back(read.wallMs);
        shell_cpu_ms.push_back(read.cpuMs);
    }
    const qint64 shown = median(login_ms);
    const qint64 read = median(shell_ms);
    const qint64 gridCpu = median(grid_cpu_ms);
    const qint64 readCpu = median(shell_cpu_ms);
    std::printf("%d contacts, median of %d runs, load average %s before, %s after\n", Contacts, Runs,
                loadBefore.constData(), loadAverage().constData());
    std::printf("login window shown             %5lld ms\n", shown);
    std::printf("sqlcipher shell read           %5lld ms\n", read);
    std::printf("ratio                          %5.2f\n", double(shown) / double(read));
    std::printf("processor, start to login      %5lld ms\n", median(login_cpu_ms));
    std::printf("processor, shell read          %5lld ms\n", readCpu);
    std::printf("Enter to the grid's rows drawn %5lld ms\n", median(rows_ms));
    std::printf("processor, Enter to grid       %5lld ms\n", gridCpu);
    std::printf("processor, shell read          %5lld ms\n", readCpu);
    std::printf("ratio                          %5.2f\n", double(gridCpu) / double(readCpu));
    return 0;
}
