// tessaly-book's vCard import as a person runs it, the real program on a real
// file: 100,000 cards (a name, two phones, an e-mail address, an address; one
// card in ten with a 20 KB JPEG photo), first as a dry run, then into an empty
// book, each three times: the best and the median wall time, the processor
// time of the median run and the program's peak resident memory. For scale,
// python3-vobject parses the same file when it is installed.
//   bench_vcard [--no-vobject] [--keep]     targets: import <= 4 s and 200 MB, dry run <= 1.5 s

#include "bench/NoisePhoto.h"
#include "exchange/vcard/VCardWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// As a phone's export holds a person: the second number and the e-mail address
// go out as TEL and EMAIL from the labels an import writes into 备注.
StoredContact card(int i, const QByteArray& photo)
{
    StoredContact c;
    const QString n = QString::number(i);
    c.texts[int(ContactText::Name)] = QStringLiteral("欧阳") + n;
    c.texts[int(ContactText::Phone)] = QStringLiteral("138") + QString::number(10000000 + i);
    c.texts[int(ContactText::Address)] = QStringLiteral("北京市海淀区中关村大街") + n + QStringLiteral("号");
    c.texts[int(ContactText::Note)] =
        QStringLiteral("住宅电话:010-6%1；邮箱:user%2@example.com").arg(1000000 + i % 9000000).arg(i);
    c.photo = photo;
    return c;
}

struct Run {
    double seconds = 0;
    double processor = 0;  // user and system time of every thread
    long peakMb = 0;
    int status = -1;
};

// The program as a child: wall time, exit status and its peak resident set.
Run runChild(const QStringList& arguments)
{
    QList<QByteArray> owned;
    for (const QString& a : arguments)
        owned << a.toLocal8Bit();
    std::vector<char*> argv;
    for (QByteArray& a : owned)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    const pid_t child = fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return {timer.elapsed() / 1000.0, seconds(usage.ru_utime) + seconds(usage.ru_stime), usage.ru_maxrss / 1024,
            WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// The same run three times, each after prepare: this machine's runs vary by a
// third from one to the next, so one run says little.
void runThrice(const char* what, const QStringList& arguments, const char* target, const std::function<void()>& prepare)
{
    std::vector<Run> runs;
    for (int i = 0; i < 3; ++i) {
        prepare();
        runs.push_back(runChild(arguments));
    }
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
    const Run& median = runs[1];
    long peak = 0;
    int status = 0;
    for (const Run& run : runs) {
        peak = std::max(peak, run.peakMb);
        status = std::max(status, run.status);
    }
    std::printf("%s best %.2f s, median %.2f s (processor %.2f s) (target %s), peak %ld MB, exit %d\n", what,
                runs[0].seconds, median.seconds, median.processor, target, peak, status);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool withVobject = !app.arguments().contains(QStringLiteral("--no-vobject"));
    QTemporaryDir dir;
    // --keep leaves the file and the book behind, for a profiler to run the program on.
    if (app.arguments().contains(QStringLiteral("--keep"))) {
        dir.setAutoRemove(false);
        std::printf("kept in %s\n", qPrintable(dir.path()));
    }
    const QString file = dir.filePath("phone.vcf");
    {
        QList<StoredContact> cards;
        for (int i = 0; i < 100000; ++i)
            cards.append(card(i, i % 10 == 0 ? photoOfAbout20K(i) : QByteArray()));
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        writeVCards(out, cards);
    }
    // The cards' memory goes back to the system: a child starts with the resident
    // set of the bench as it forks, and its peak would be the bench's own.
    malloc_trim(0);
    std::printf("file: 100,000 cards, %lld MB\n", QFile(file).size() / (1024 * 1024));
    const QString password = dir.filePath("pw");
    QFile pw(password);
    pw.open(QIODevice::WriteOnly);
    pw.write("480917\n");
    pw.close();
    const QString book = QStringLiteral(TESSALY_BOOK_PATH);
    const QString db = dir.filePath("Kalvo.mdb");
    const QStringList common{book, "--db", db, "--password-file", password, "import"};

    runThrice("dry run:", common + QStringList{"--dry-run", file}, "1.5 s", [] {});
    runThrice("import: ", common + QStringList{file}, "4 s; 200 MB", [&] { QFile::remove(db); });
    if (withVobject) {
        const Run vobject = runChild({"/usr/bin/python3", "-c",
                                      "import sys, vobject\n"
                                      "sum(1 for _ in vobject.readComponents(open(sys.argv[1], encoding='utf-8')))",
                                      file});
        std::printf("python3-vobject parses the same file: %.2f s, peak %ld MB, exit %d\n", vobject.seconds,
                    vobject.peakMb, vobject.status);
    }
    return 0;
}
