// Start-up with 100,000 contacts: how long the real program takes until its login
// window is mapped on an X display, beside how long the sqlcipher shell takes to
// open the same file with its key and read every row. Run by hand; starts its
// own Xvfb when no display is given.
#include "bench/ContactBookFill.h"
#include "bench/LoginTiming.h"
#include "bench/XMapWatch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Contacts = 100000;
constexpr int Runs = 7;

// Milliseconds the sqlcipher shell takes to open the book with its key and read every row.
qint64 timeOfShellRead(const QString& database)
{
    QProcess shell;
    shell.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    shell.start(
        QStringLiteral("sqlcipher"),
        {database, QStringLiteral("PRAGMA key='%1'; select * from rem;").arg(ContactSchema::DatabasePassword())});
    shell.waitForFinished(60000);
    return shell.exitCode() == 0 ? timer.elapsed() : -1;
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

    // The first start stores the factory password and warms the file cache; it is not counted.
    timeToLoginWindow(watch, program, {}, server.name());
    std::vector<qint64> program_ms, shell_ms;
    for (int run = 0; run < Runs; ++run) {
        program_ms.push_back(timeToLoginWindow(watch, program, {}, server.name()));
        shell_ms.push_back(timeOfShellRead(database));
    }
    if (std::find(program_ms.begin(), program_ms.end(), -1) != program_ms.end()
        || std::find(shell_ms.begin(), shell_ms.end(), -1) != shell_ms.end()) {
        std::fprintf(stderr, "a run failed\n");
        return 1;
    }
    const qint64 shown = median(program_ms);
    const qint64 read = median(shell_ms);
    std::printf("%d contacts, median of %d runs\n", Contacts, Runs);
    std::printf("login window shown      %5lld ms\n", shown);
    std::printf("sqlcipher shell read    %5lld ms\n", read);
    std::printf("ratio                   %5.2f\n", double(shown) / double(read));
    return 0;
}
