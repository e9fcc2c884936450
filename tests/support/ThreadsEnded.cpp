#include "ThreadsEnded.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>

int RunningThreads()
{
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

bool ThreadsEndedSince(int threadsBefore)
{
    QElapsedTimer waited;
    waited.start();
    while (RunningThreads() > threadsBefore) {
        if (waited.elapsed() > 10000)
            return false;
        QThread::msleep(2);
    }
    return true;
}
