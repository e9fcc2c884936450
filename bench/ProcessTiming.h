#pragma once
// Whole programs timed from start to exit, as a user waits for them.

#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

// The median wall time of five runs, in milliseconds; -1 when a run fails.
inline double medianRun(const QString& program, const QStringList& arguments, const QByteArray& input = {})
{
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        process.start(program, arguments);
        if (!input.isEmpty()) {
            process.write(input);
            process.closeWriteChannel();
        }
        if (!process.waitForFinished(120000) || process.exitCode() != 0) {
            std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), process.readAllStandardError().constData());
            return -1;
        }
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
