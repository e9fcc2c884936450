// The tools window of tessaly-book with 100,000 contacts:
//
//   bench_tools [path/to/tessaly-book]
//
// - the login window mapped after `tessaly-book --gui` starts (a whole process,
//   on its own Xvfb unless DISPLAY is set, the clock started before the fork and
//   stopped by the X server's MapNotify; median of 5 runs, each taken in turn
//   with the sqlcipher shell's read of the book; with the other core idle, then
//   with a busy loop holding it; target 300 ms);
// - the 导入 page's preview of a vCard file of 10,000 cards, read and planned
//   against the book and shown in the table (target 2 s);
// - each key typed into 查找, from the key to the result table painted
//   (target 50 ms), for the texts typed letter by letter.
// The window's own figures run in this process on the offscreen platform.

#include "bench/ContactBookFill.h"
#include "bench/LoginTiming.h"
#include "book/tools/FindPage.h"
#include "book/tools/FoundModel.h"
#include "book/tools/ImportPage.h"
#include "book/tools/PreviewModel.h"
#include "book/tools/ToolsWindow.h"
#include "platform/Desktop.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

namespace {

constexpr int Contacts = 100000;
constexpr int Cards = 10000;
constexpr int Runs = 5;

// Cards as a phone writes them: a name, two numbers, an e-mail, an address; a fixed seed.
QByteArray phoneCards(int count)
{
    const QString surnames = QStringLiteral("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗");
    const QString given = QStringLiteral("伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超兰霞平刚");
    unsigned seed = 20261208;
    std::printf("cards made with seed %u\n", seed);
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % unsigned(n));
    };
    QByteArray file;
    for (int i = 0; i < count; ++i) {
        const QString name =
            QString(surnames[next(surnames.size())]) + given[next(given.size())] + given[next(given.size())];
        file += QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:%1\r\nTEL;TYPE=CELL:139%2\r\nTEL;TYPE=HOME:010-%3\r\n"
                               "EMAIL:u%4@example.com\r\nADR:;;海淀区中关村大街%4号;北京;;100080;中国\r\nEND:VCARD\r\n")
                    .arg(name)
                    .arg(10000000 + i)
                    .arg(60000000 + i)
                    .arg(i)
                    .toUtf8();
    }
    return file;
}

// The boxes of the window answer at once: a benchmark has nobody to press OK.
class SilentDesktop : public Desktop {
public:
    int MessageBox(QWidget*, const QString&, const QString&, unsigned) override { return Mb::IDOK; }
    bool ShellOpen(const QString&, const QString&, const QString&) override { return false; }
    QWidget* ActiveWindow() override { return nullptr; }
    std::optional<QString> OpenPictureFileName(QWidget*, const QString&) override { return std::nullopt; }
    std::optional<QString> SaveFileName(QWidget*, const QString&) override { return std::nullopt; }
    std::optional<QStringList> OpenFileNames(QWidget*, const QString&) override { return std::nullopt; }
    const QMimeData* Clipboard() override { return nullptr; }
};

// Until the login window shows, measured from outside: the medians of the wall
// clock and of the program's CPU time, and of the sqlcipher shell's read of the
// same book taken in turn with each start.
struct LoginShown {
    qint64 wall = -1, cpu = -1, shell = -1, shellCpu = -1;
};

LoginShown loginWindowShown(XMapWatch& watch, const QString& displayName, const QString& program, const QString& book)
{
    const QStringList arguments{QStringLiteral("--db"), book, QStringLiteral("--gui")};
    std::vector<qint64> runs, cpu, shell, shellCpu;
    for (int run = 0; run < Runs; ++run) {
        qint64 used = -1;
        runs.push_back(timeToLoginWindow(watch, program, arguments, displayName, &used));
        cpu.push_back(used);
        const ShellRead read = timeOfShellRead(book);
        shell.push_back(read.wallMs);
        shellCpu.push_back(read.cpuMs);
    }
    if (std::find(runs.begin(), runs.end(), -1) != runs.end()
        || std::find(shell.begin(), shell.end(), -1) != shell.end())
        return {};
    return {median(runs), median(cpu), median(shell), median(shellCpu)};
}

void printLogin(const char* title, const LoginShown& login, const QByteArray& loadBefore)
{
    std::printf("tools login window, %s (load average %s before, %s after)\n", title, loadBefore.constData(),
                loadAverage().constData());
    std::printf("  mapped                       %5lld ms, CPU %lld ms (median of %d runs; target 300)\n", login.wall,
                login.cpu, Runs);
    std::printf("  sqlcipher shell read         %5lld ms, CPU %lld ms; ratio %.2f\n", login.shell, login.shellCpu,
                double(login.wall) / double(login.shell));
}

// Milliseconds of CPU this process has used: on a machine shared with other
// work the wall clock also counts the time others had the processor.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

// Paints what the table shows now, as the screen would.
void paint(QTableView* table)
{
    table->viewport()->repaint();
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("Kalvo.mdb"));
    MakeContactBook(book, Contacts, 0);
    const QString program = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TESSALY_BOOK_PATH);
    LoginShown idle, busy;
    QByteArray idleLoad, busyLoad;
    {
        QCoreApplication app(argc, argv);
        XServer server;
        XMapWatch watch(server.name().toStdString());
        if (server.name().isEmpty() || !watch.connected()) {
            std::fprintf(stderr, "no X display\n");
            return 1;
        }
        // Caches as after a previous start.
        timeToLoginWindow(watch, program, {QStringLiteral("--db"), book, QStringLiteral("--gui")}, server.name());
        timeOfShellRead(book);
        idleLoad = loadAverage();
        idle = loginWindowShown(watch, server.name(), program, book);
        busyLoad = loadAverage();
        const BusyCore spinning;
        busy = loginWindowShown(watch, server.name(), program, book);
    }

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SilentDesktop desktop;
    setDesktop(&desktop);
    const QString cards = dir.filePath(QStringLiteral("手机.vcf"));
    QFile file(cards);
    if (!file.open(QIODevice::WriteOnly) || file.write(phoneCards(Cards)) < 0)
        return 1;
    file.close();

    ToolsWindow window(book);
    window.show();
    auto* import = static_cast<ImportPage*>(window.page(QStringLiteral("import")));
    QElapsedTimer timer;
    timer.start();
    double cpu = cpuMs();
    import->addFiles({cards});
    while (import->isReading())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    paint(import->table());
    const qint64 preview = timer.elapsed();
    const double previewCpu = cpuMs() - cpu;
    const int previewed = import->model()->rowCount();

    auto* find = static_cast<FindPage*>(window.page(QStringLiteral("find")));
    timer.restart();
    window.showPage(QStringLiteral("find"));
    const qint64 loaded = timer.elapsed();
    std::vector<qint64> keys;
    std::vector<qint64> keysCpu;
    for (const QString& typed : {QStringLiteral("zhang"), QStringLiteral("wangw"), QStringLiteral("13800"),
                                 QStringLiteral("海淀区1"), QStringLiteral("zs")}) {
        find->field()->clear();
        for (int length = 1; length <= typed.size(); ++length) {
            timer.restart();
            cpu = cpuMs();
            find->field()->setText(typed.left(length));
            paint(find->table());
            keys.push_back(timer.elapsed());
            keysCpu.push_back(qint64(cpuMs() - cpu + 0.5));
        }
    }
    const qint64 slowest = *std::max_element(keys.begin(), keys.end());

    std::printf("%d contacts in the book\n", Contacts);
    printLogin("the other core idle", idle, idleLoad);
    printLogin("a busy loop holding the other core", busy, busyLoad);
    std::printf("preview of %d cards          %5lld ms, CPU %.0f ms (%d rows; target 2000)\n", Cards, preview,
                previewCpu, previewed);
    std::printf("查找 page first shown (reads)  %5lld ms\n", loaded);
    std::printf("each key in 查找: median       %5lld ms, slowest %lld ms over %zu keys (target 50)\n", median(keys),
                slowest, keys.size());
    std::printf("                  CPU: median  %5lld ms, slowest %lld ms\n", median(keysCpu),
                *std::max_element(keysCpu.begin(), keysCpu.end()));
    return idle.wall < 0 || busy.wall < 0 || previewed != Cards ? 1 : 0;
}
