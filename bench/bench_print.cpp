// Printing the book to a PDF as a person does from the command line:
// tessaly-book export 通讯录.pdf on books of 10,000 and 100,000 contacts, the
// list style (the heavier: every entry measured, then drawn), then the cards.
// Targets: 10,000 as the list within 3 s, 100,000 within 30 s, at most 200 MB
// of memory at the peak (the program's whole resident set).

#include "bench/ContactBookFill.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

double childrenCpuSeconds(const rusage& usage)
{
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// One run of the program: the wall time a person waits, the processor time
// it used (which a machine shared with other work disturbs far less), and
// the peak memory of the largest child so far (the runs go from small to
// large, so it is this run's).
bool printOnce(const QString& book, const QString& pdf, const QStringList& options, const QString& password)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    rusage before{};
    getrusage(RUSAGE_CHILDREN, &before);
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral(TESSALY_BOOK_PATH),
                  QStringList{QStringLiteral("--db"), book, QStringLiteral("--password-file"), password,
                              QStringLiteral("export"), pdf}
                      + options);
    if (!process.waitForFinished(600000) || process.exitCode() != 0) {
        std::fprintf(stderr, "tessaly-book export failed\n");
        return false;
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    rusage after{};
    getrusage(RUSAGE_CHILDREN, &after);
    std::printf("  %-16s wall %6.2f s   cpu %6.2f s   peak %6.1f MB   PDF %7.1f MB\n", qPrintable(options.join(u' ')),
                seconds, childrenCpuSeconds(after) - childrenCpuSeconds(before), double(after.ru_maxrss) / 1024,
                double(QFileInfo(pdf).size()) / 1024 / 1024);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString password = dir.filePath(QStringLiteral("password"));
    QFile file(password);
    file.open(QIODevice::WriteOnly);
    file.write("480917\n");
    file.close();
    for (const int count : {10000, 100000}) {
        const QString book = dir.filePath(QStringLiteral("Kalvo-%1.mdb").arg(count));
        MakeContactBook(book, count, 0);
        std::printf("%d contacts:\n", count);
        const QString pdf = dir.filePath(QStringLiteral("通讯录-%1.pdf").arg(count));
        if (!printOnce(book, pdf, {QStringLiteral("--style"), QStringLiteral("通讯录")}, password)
            || !printOnce(book, pdf, {QStringLiteral("--style"), QStringLiteral("名片")}, password))
            return 1;
    }
    return 0;
}
