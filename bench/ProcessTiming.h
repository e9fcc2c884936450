#pragma once
// Whole programs timed from start to exit, as a user waits for them.

#include "store/ContactSchema.h"

#include <QElapsedTimer>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

inline qint64 median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

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

// tessaly-book running command over book (its login password on its input), against the
// sqlcipher shell running sql over the same file, key first: the medians of five runs each,
// printed after their labels, and their ratio beside the target. 1 when a run fails.
inline int CompareWithShell(const QString& program, const QString& book, const QStringList& command, const char* sql,
                            const char* programLabel, const char* shellLabel, const char* target)
{
    const QStringList arguments = QStringList{"--password-file", "-", "--db", book} + command;
    const double ours = medianRun(program, arguments, "480917\n");
    const QByteArray script = "PRAGMA key='" + ContactSchema::DatabasePassword().toUtf8() + "';\n" + sql + "\n";
    const double shell = medianRun(QStringLiteral("sqlcipher"), {book}, script);
    if (ours < 0 || shell < 0)
        return 1;
    std::printf("%s%8.1f ms\n", programLabel, ours);
    std::printf("%s%8.1f ms\n", shellLabel, shell);
    std::printf("ratio                         %8.2f (target: %s)\n", ours / shell, target);
    return 0;
}
