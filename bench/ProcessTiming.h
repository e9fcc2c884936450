#pragma once
// Whole programs timed from start to exit, as a user waits for them.

#include "store/ContactSchema.h"

#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sys/resource.h>
#include <vector>

inline qint64 median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// In milliseconds: the wall time a user waits, and
// the processor time the program used (user and system), which a machine
// shared with other work disturbs far less. -1 when a run fails.
struct RunTimes {
    double wall = -1;
    double cpu = -1;
};

inline double childrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// One run of program as a process of its own, in milliseconds: the clock starts
// before the fork and stops when the process has ended; the processor time is
// what the kernel counted for it once reaped. nullopt when the run fails.
inline std::optional<RunTimes> timedRun(const QString& program, const QStringList& arguments,
                                        const QByteArray& input = {})
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    const double cpuBefore = childrenCpuMs();
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!input.isEmpty()) {
        process.write(input);
        process.closeWriteChannel();
    }
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), process.readAllStandardError().constData());
        return std::nullopt;
    }
    return RunTimes{double(timer.nsecsElapsed()) / 1e6, childrenCpuMs() - cpuBefore};
}

struct RunSeries {
    std::vector<double> walls, cpus;
    void add(const RunTimes& run)
    {
        walls.push_back(run.wall);
        cpus.push_back(run.cpu);
    }
    RunTimes medians() const
    {
        const auto middle = [](std::vector<double> v) {
            std::sort(v.begin(), v.end());
            return v[v.size() / 2];
        };
        return {middle(walls), middle(cpus)};
    }
};

constexpr int CompareRuns = 7;

// tessaly-book running command over book (its login password on its input), against the
// sqlcipher shell running sql over the same file, key first, one run of each in turn:
// the medians of CompareRuns runs each (wall and processor time), printed after their labels, their ratios beside the
// target, and the load average they ran under. 1 when a run fails.
inline int CompareWithShell(const QString& program, const QString& book, const QStringList& command, const char* sql,
                            const char* programLabel, const char* shellLabel, const char* target)
{
    const QStringList arguments = QStringList{"--password-file", "-", "--db", book} + command;
    const QByteArray script = "PRAGMA key='" + ContactSchema::DatabasePassword().toUtf8() + "';\n" + sql + "\n";
    // Taken in turn, so a build starting on the shared machine weighs on both alike.
    RunSeries ourRuns, shellRuns;
    for (int run = 0; run < CompareRuns; ++run) {
        const std::optional<RunTimes> ourRun = timedRun(program, arguments, "480917\n");
        const std::optional<RunTimes> shellRun = timedRun(QStringLiteral("sqlcipher"), {book}, script);
        if (!ourRun || !shellRun)
            return 1;
        ourRuns.add(*ourRun);
        shellRuns.add(*shellRun);
    }
    const RunTimes ours = ourRuns.medians(), shell = shellRuns.medians();
    std::printf("%s%8.1f ms wall %8.1f ms processor\n", programLabel, ours.wall, ours.cpu);
    std::printf("%s%8.1f ms wall %8.1f ms processor\n", shellLabel, shell.wall, shell.cpu);
    std::printf("ratio                         %8.2f wall %8.2f processor (target: %s)\n", ours.wall / shell.wall,
                ours.cpu / shell.cpu, target);
    double load[3] = {};
    if (getloadavg(load, 3) == 3)
        std::printf("load average                  %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    return 0;
}
