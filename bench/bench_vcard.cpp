// tessaly-book's vCard import as a person runs it, the real program on a real
// file: 100,000 cards (a name, two phones, an e-mail address, an address; one
// card in ten with a 20 KB JPEG photo), first as a dry run, then into an empty
// book, each with its wall time and the program's peak resident memory. For
// scale, python3-vobject parses the same file when it is installed.
//   bench_vcard [--no-vobject] [--keep]     targets: import <= 4 s and 200 MB, dry run <= 1.5 s

#include "bench/NoisePhoto.h"
#include "exchange/vcard/VCardWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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
    return {timer.elapsed() / 1000.0, usage.ru_maxrss / 1024, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
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

    const Run dry = runChild(common + QStringList{"--dry-run", file});
    std::printf("dry run: %.2f s (target 1.5 s), peak %ld MB, exit %d\n", dry.seconds, dry.peakMb, dry.status);
    const Run import = runChild(common + QStringList{file});
    std::printf("import:  %.2f s (target 4 s), peak %ld MB (target 200 MB), exit %d\n", import.seconds, import.peakMb,
                import.status);
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
