// tessaly-book's import and export as a person runs them, in-process: import
// 10,000 cards (a third with a 20 KB JPEG photo) into an empty book, export
// 100,000 contacts to vCard. For scale, python3-vobject parses the same files
// when it is installed.

#include "bench/NoisePhoto.h"
#include "book/BookFile.h"
#include "book/BookRun.h"
#include "book/BookWrite.h"
#include "book/Console.h"
#include "exchange/ImportPlan.h"
#include "exchange/SpoolFile.h"
#include "exchange/VCardFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

namespace {

class QuietConsole : public Console {
public:
    void out(const QString& line) override { last = line; }
    void err(const QString& line) override { std::fprintf(stderr, "%s\n", qPrintable(line)); }
    bool outIsTerminal() const override { return false; }
    bool canAsk() const override { return false; }
    std::optional<QString> askHidden(const QString&) override { return std::nullopt; }
    // The login password, as "--password-file -" reads it.
    std::optional<QByteArray> inputLine() override { return QByteArrayLiteral("480917"); }
    QString last;
};

StoredContact contact(int i, const QByteArray& photo)
{
    StoredContact c;
    const QString n = QString::number(i);
    c.texts = {i % 3 == 0 ? QStringLiteral("朋友") : QStringLiteral("同事"),
               QStringLiteral("欧阳") + n.right(4),
               QStringLiteral("1990-01-%1").arg(i % 28 + 1, 2, 10, QLatin1Char('0')),
               QStringLiteral("138") + QString::number(10000000 + i),
               n,
               QStringLiteral("北京市海淀区中关村大街") + n + QStringLiteral("号"),
               QStringLiteral("备注第") + n + QStringLiteral("条")};
    c.photo = photo;
    return c;
}

// Wall time, and the processor time the process itself used: on a machine
// shared with other work the second is the steadier figure.
struct Timing {
    qint64 wallMs;
    qint64 cpuMs;
};

Timing timed(const QStringList& arguments, QuietConsole& console)
{
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpu = std::clock();
    const int status =
        RunBook(QStringList{QStringLiteral("--password-file"), QStringLiteral("-")} + arguments, console);
    const Timing t{timer.elapsed(), qint64(std::clock() - cpu) * 1000 / CLOCKS_PER_SEC};
    if (status != ExitCode::Success)
        std::fprintf(stderr, "tessaly-book %s failed\n", qPrintable(arguments.join(u' ')));
    return t;
}

void vobjectParse(const QString& file)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, time, vobject\n"
                                 "text = open(sys.argv[1], encoding='utf-8').read()\n"
                                 "t = time.perf_counter(); n = sum(1 for _ in vobject.readComponents(text))\n"
                                 "print(f'{(time.perf_counter() - t) * 1000:.0f} ms, {n} cards')"),
                  file});
    if (!python.waitForFinished(600000) || python.exitCode() != 0) {
        std::printf("  python3-vobject: not available\n");
        return;
    }
    std::printf("  python3-vobject parse of the same file: %s", python.readAllStandardOutput().constData());
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QuietConsole console;
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();  // "import" or "export"

    // Import: 10,000 cards, every third with a photo.
    const QString cards = dir.filePath(QStringLiteral("cards.vcf"));
    QList<StoredContact> some;
    for (int i = 0; i < 10000; ++i)
        some << contact(i, i % 3 == 0 ? photoOfAbout20K(i) : QByteArray());
    WriteVCardFile(cards, some);
    if (only != QStringLiteral("export")) {
        std::printf("import of 10,000 cards (3,334 with a %lld-byte photo), %lld MB file\n",
                    qint64(some.first().photo.size()), QFile(cards).size() >> 20);
        for (int round = 0; round < 3; ++round) {
            const QString book = dir.filePath(QStringLiteral("import%1.mdb").arg(round));
            const Timing t = timed({QStringLiteral("--db"), book, QStringLiteral("import"), cards}, console);
            std::printf("  tessaly-book import: %lld ms, processor %lld ms (target 2000 ms): %s\n", t.wallMs, t.cpuMs,
                        qPrintable(console.last));
        }
        {
            // Where the time goes: the codec, the fitting, the writing.
            const QString book = dir.filePath(QStringLiteral("phases.mdb"));
            CreateBook(book);
            BookFile file(book);
            QElapsedTimer timer;
            timer.start();
            std::clock_t cpu = std::clock();
            const auto cpuSince = [&cpu] {
                const std::clock_t now = std::clock();
                const qint64 ms = qint64(now - cpu) * 1000 / CLOCKS_PER_SEC;
                cpu = now;
                return ms;
            };
            const DraftSet read = ReadVCardFile(cards);
            const qint64 readMs = timer.restart();
            const qint64 readCpu = cpuSince();
            const ImportPlan plan = PlanImport({{QStringLiteral("cards.vcf"), read}}, ContactWidths(file.query), {});
            const qint64 planMs = timer.restart();
            const qint64 planCpu = cpuSince();
            AddContacts(file.connection, plan.toAdd);
            const qint64 writeMs = timer.elapsed();
            std::printf("  of which: read %lld ms (processor %lld), fit %lld ms (%lld), write %lld ms (%lld)\n", readMs,
                        readCpu, planMs, planCpu, writeMs, cpuSince());
        }
        vobjectParse(cards);
    }
    if (only == QStringLiteral("import"))
        return 0;

    // Export: 100,000 contacts.
    const QString big = dir.filePath(QStringLiteral("big.mdb"));
    CreateBook(big);
    {
        BookFile book(big);
        FittedContacts many(std::make_shared<SpoolFile>());
        for (int i = 0; i < 100000; ++i) {
            FittedContact f;
            f.texts = contact(i, {}).texts;
            many.append(std::move(f));
        }
        AddContacts(book.connection, many);
    }
    std::printf("export of 100,000 contacts\n");
    const QString out = dir.filePath(QStringLiteral("out.vcf"));
    for (int round = 0; round < 3; ++round) {
        const Timing t = timed({QStringLiteral("--db"), big, QStringLiteral("export"), out}, console);
        std::printf("  tessaly-book export: %lld ms, processor %lld ms (target 1500 ms), %lld MB\n", t.wallMs, t.cpuMs,
                    QFile(out).size() >> 20);
    }
    vobjectParse(out);
    return 0;
}
