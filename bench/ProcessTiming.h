#pragma once
// Whole programs timed from start to exit, as a user waits for them.

#include "store/ContactSchema.h"

#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <vector>

inline qint64 median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The medians of five runs, in milliseconds: the wall time a user waits, and
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

inline RunTimes medianRun(const QString& program, const QStringList& arguments, const QByteArray& input = {})
{
    std::vector<double> walls, cpus;
    for (int run = 0; run < 5; ++run) {
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
            return {};
        }
        walls.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpus.push_back(childrenCpuMs() - cpuBefore);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
}

// tessaly-book running command over book (its login password on its input), against the
// sqlcipher shell running sql over the same file, key first: the medians of five runs each
// (wall and processor time), printed after their labels, their ratios beside the target,
// and the load average they ran under. 1 when a run fails.
inline int CompareWithShell(const QString& program, const QString& book, const QStringList& command, const char* sql,
                            const char* programLabel, const char* shellLabel, const char* target)
{
    const QStringList arguments = QStringList{"--password-file", "-", "--db", book} + command;
    const RunTimes ours = medianRun(program, arguments, "480917\n");
    const QByteArray script = "PRAGMA key='" + ContactSchema::DatabasePassword().toUtf8() + "';\n" + sql + "\n";
    const RunTimes shell = medianRun(QStringLiteral("sqlcipher"), {book}, script);
    if (ours.wall < 0 || shell.wall < 0)
        return 1;
    std::printf("%s%8.1f ms wall %8.1f ms processor\n", programLabel, ours.wall, ours.cpu);
    std::printf("%s%8.1f ms wall %8.1f ms processor\n", shellLabel, shell.wall, shell.cpu);
    std::printf("ratio                         %8.2f wall %8.2f processor (target: %s)\n", ours.wall / shell.wall,
                ours.cpu / shell.cpu, target);
    double load[3] = {};
    if (getloadavg(load, 3) == 3)
        std::printf("load average                  %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    return 0;
}
