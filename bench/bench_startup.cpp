// Start-up with 100,000 contacts, as a person sees it, measured from outside:
// the real program is started as a process of its own (the clock starts just
// before the fork) and the clock stops when the X server reports its login
// window mapped (a MapNotify on the root window, no polling). Then Enter in
// 登录 until the grid's rows are drawn (wall clock, and the program's
// processor time until it is idle again). Each start is taken in turn with the
// sqlcipher shell opening the same file with its key and reading every row into
// /dev/null. Five runs each, medians, the load printed; once with the other
// core idle, once with a busy loop holding it. Run by hand; starts its own
// Xvfb (black root, so a window not yet drawn shows black) when no display is
// given.
//
//   bench_startup [path/to/tessaly]
#include "bench/ContactBookFill.h"
#include "bench/LoginTiming.h"
#include "bench/XMapWatch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <vector>

namespace {

constexpr int Contacts = 100000;
constexpr int Runs = 5;

// Waits until the process has used less than a millisecond of processor time
// in quietMs (a blinking caret costs a little every half second); its
// processor time then, or after 20 s.
qint64 processorTimeOnceQuiet(qint64 pid, int quietMs)
{
    qint64 windowStart = processCpuUs(pid);
    qint64 now = windowStart;
    QElapsedTimer quiet, overall;
    quiet.start();
    overall.start();
    while (quiet.elapsed() < quietMs && overall.elapsed() < 20000) {
        QThread::msleep(5);
        now = processCpuUs(pid);
        if (now - windowStart > 1000) {
            windowStart = now;
            quiet.restart();
        }
    }
    return now;
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
        // Whatever the start-up still does after the window is mapped (reading the
        // records ahead while a person types) is not the login's.
        const qint64 before = processorTimeOnceQuiet(process.processId(), 450);
        watch.arm();
        // The clock starts before Enter reaches the server, not after.
        watch.typeLine(login, "480917", [&timer] { timer.restart(); });
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

struct Medians {
    qint64 login = -1, loginCpu = -1, mainMapped = -1, rows = -1, gridCpu = -1, shell = -1, shellCpu = -1;
};

// Five starts of the program, each followed by the shell's read.
bool runInTurn(XMapWatch& watch, const QString& program, const QString& displayName, const QString& database,
               Medians& out)
{
    std::vector<qint64> login, loginCpu, mainMapped, rows, gridCpu, shell, shellCpu;
    for (int run = 0; run < Runs; ++run) {
        const ProgramRun started = runProgram(watch, program, displayName, true);
        const ShellRead read = timeOfShellRead(database);
        if (started.loginShownMs < 0 || started.rowsShownMs < 0 || read.wallMs < 0) {
            std::fprintf(stderr, "a run failed\n");
            return false;
        }
        std::fprintf(stderr,
                     "  run %d: login %lld ms (%lld ms processor), shell %lld ms (%lld ms processor), Enter to main "
                     "mapped %lld ms, to rows %lld ms, %lld ms processor\n",
                     run + 1, started.loginShownMs, started.loginCpuMs, read.wallMs, read.cpuMs, started.mainMappedMs,
                     started.rowsShownMs, started.gridCpuMs);
        login.push_back(started.loginShownMs);
        loginCpu.push_back(started.loginCpuMs);
        mainMapped.push_back(started.mainMappedMs);
        rows.push_back(started.rowsShownMs);
        gridCpu.push_back(started.gridCpuMs);
        shell.push_back(read.wallMs);
        shellCpu.push_back(read.cpuMs);
    }
    out = {median(login),   median(loginCpu), median(mainMapped), median(rows),
           median(gridCpu), median(shell),    median(shellCpu)};
    return true;
}

void print(const char* title, const Medians& m, const QByteArray& loadBefore)
{
    std::printf("%s (load average %s before, %s after)\n", title, loadBefore.constData(), loadAverage().constData());
    std::printf("  login window mapped            %5lld ms (%lld ms processor, both threads)\n", m.login, m.loginCpu);
    std::printf("  sqlcipher shell read           %5lld ms (%lld ms processor)\n", m.shell, m.shellCpu);
    std::printf("  ratio, login to shell          %5.2f\n", double(m.login) / double(m.shell));
    std::printf("  Enter to the main window mapped %4lld ms\n", m.mainMapped);
    std::printf("  Enter to the grid's rows drawn %5lld ms\n", m.rows);
    std::printf("  processor, Enter to idle       %5lld ms\n", m.gridCpu);
    std::printf("  ratio, to shell's processor    %5.2f\n", double(m.gridCpu) / double(m.shellCpu));
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
    {
        TADOConnection connection;
        TADOQuery query;
        OpenNewBook(connection, query, database);
        FillPeopleRows(connection.Handle(), Contacts);
    }
    XServer server;
    XMapWatch watch(server.name().toStdString());
    if (server.name().isEmpty() || !watch.connected()) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }

    // The first start stores the factory password, the shell's read after it
    // leaves the caches as a previous start would; neither is counted.
    runProgram(watch, program, server.name(), true);
    timeOfShellRead(database);
    std::printf("%d contacts, medians of %d runs, each start taken in turn with the shell's read\n", Contacts, Runs);
    Medians idle;
    QByteArray load = loadAverage();
    std::fprintf(stderr, "the other core idle:\n");
    if (!runInTurn(watch, program, server.name(), database, idle))
        return 1;
    print("the other core idle", idle, load);
    Medians busy;
    {
        load = loadAverage();
        const BusyCore spinning;
        std::fprintf(stderr, "a busy loop holding the other core:\n");
        if (!spinning.running() || !runInTurn(watch, program, server.name(), database, busy))
            return 1;
    }
    print("a busy loop holding the other core", busy, load);
    return 0;
}
