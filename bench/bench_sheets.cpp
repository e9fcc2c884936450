// Spreadsheets with 100,000 contacts: export to CSV (target 0.5 s) and to .xlsx
// (target 3 s); import (reading and fitting, before the book is written) of our
// own CSV, of a Google Contacts CSV with its 50-odd columns (target 3 s and a
// peak resident size of 150 MB) and of the .xlsx (target 6 s), the way the
// import command reads files (its drafts spooled) and plans them. Each import
// runs in a fresh process of this program, so its peak size is its own.
#include "book/ImportFiles.h"
#include "exchange/ImportPlan.h"
#include "exchange/csv/CsvWriter.h"
#include "exchange/xlsx/XlsxWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

namespace {

constexpr int kContacts = 100000;

QList<StoredContact> sampleContacts()
{
    const QString categories[] = {QStringLiteral("朋友"), QStringLiteral("同事"), QStringLiteral("同学")};
    QList<StoredContact> contacts;
    contacts.reserve(kContacts);
    for (int i = 0; i < kContacts; ++i) {
        StoredContact c;
        c.texts = {categories[i % 3],
                   QStringLiteral("王小%1").arg(i % 1000),
                   QStringLiteral("1990-01-%1").arg(i % 28 + 1),
                   QStringLiteral("138%1").arg(10000000 + i),
                   QString::number(100000 + i),
                   QStringLiteral("北京市海淀区中关村大街%1号").arg(i),
                   QStringLiteral("Note %1, 备注文字").arg(i)};
        contacts.append(c);
    }
    return contacts;
}

// A Google Contacts export as the web page writes it: every column in every
// row, most of them empty.
QByteArray googleCsv()
{
    QByteArray out(
        "Name,Given Name,Additional Name,Family Name,Yomi Name,Given Name Yomi,Additional Name Yomi,Family Name "
        "Yomi,Name Prefix,Name Suffix,Initials,Nickname,Short Name,Maiden Name,Birthday,Gender,Location,Billing "
        "Information,Directory Server,Mileage,Occupation,Hobby,Sensitivity,Priority,Subject,Notes,Language,Photo,Group "
        "Membership,E-mail 1 - Type,E-mail 1 - Value,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,Phone 2 - "
        "Value,Address 1 - Type,Address 1 - Formatted,Address 1 - Street,Address 1 - City,Address 1 - PO Box,Address "
        "1 - Region,Address 1 - Postal Code,Address 1 - Country,Address 1 - Extended Address,Organization 1 - "
        "Type,Organization 1 - Name,Organization 1 - Yomi Name,Organization 1 - Title,Organization 1 - "
        "Department,Organization 1 - Symbol,Organization 1 - Location,Organization 1 - Job Description,Website 1 - "
        "Type,Website 1 - Value\r\n");
    out.reserve(kContacts * 330);
    for (int i = 0; i < kContacts; ++i) {
        const QByteArray n = QByteArray::number(i);
        out += "王小明" + n + ",小明" + n + ",,王,,,,,,,,,,,1990-01-" + QByteArray::number(i % 28 + 1)
               + ",,,,,,,,,,,老同学 " + n + ",,,同学 ::: * myContacts,* Home,wxm" + n + "@example.com,Mobile,138 0013 "
               + QByteArray::number(1000 + i % 9000) + ",Work,010-6666 " + n + ",Home,\"北京市海淀区\n中关村大街" + n
               + "号\",中关村大街" + n + "号,北京,,北京,100080,中国,,,某某公司,," + "工程师,研发部,,,,,\r\n";
    }
    return out;
}

// The process's processor time (user and system), which a busy machine does not inflate as it does the clock.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The peak resident size of this process so far, in MB: the kernel's high-water
// mark of its own memory, which getrusage's ru_maxrss is not in a child, since
// that keeps the parent's peak at the fork across the exec.
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

void timed(const char* what, double targetSeconds, const std::function<QString()>& step)
{
    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = cpuSeconds();
    const QString detail = step();
    const double seconds = timer.nsecsElapsed() / 1e9, cpu = cpuSeconds() - cpuBefore;
    std::printf("%-28s %6.3f s, processor %6.3f s (target %.1f s, %s)  %s\n", what, seconds, cpu, targetSeconds,
                seconds <= targetSeconds ? "met" : "MISSED", qPrintable(detail));
    std::fflush(stdout);
}

// In the child: one import, read and fitted, with its peak size.
int measureImport(const QString& path, double targetSeconds, double targetMegabytes)
{
    const ColumnWidths widths{10, 10, 15, 15, 15, 30, 100};
    const QString what = QStringLiteral("import %1 (read + fit)").arg(QFileInfo(path).fileName());
    timed(qPrintable(what), targetSeconds, [&] {
        QElapsedTimer part;
        part.start();
        const double cpuStart = cpuSeconds();
        const QList<ImportSource> sources = ReadImportFiles({path});
        const qint64 reading = part.restart();
        const double readCpu = cpuSeconds() - cpuStart;
        const double readPeak = peakMegabytes();
        const ImportPlan plan = PlanImport(sources, widths, {});
        const qsizetype rows = plan.cards.size();
        const double peak = peakMegabytes();
        return QStringLiteral("%1 rows, %2 to add; reading %3 ms (processor %8 ms, peak %7 MB), fitting %4 ms "
                              "(processor %9 ms); peak %5 MB%6")
            .arg(rows)
            .arg(plan.added())
            .arg(reading)
            .arg(part.elapsed())
            .arg(peak, 0, 'f', 1)
            .arg(targetMegabytes > 0
                     ? QStringLiteral(" (target %1 MB, %2)")
                           .arg(targetMegabytes)
                           .arg(peak <= targetMegabytes ? QStringLiteral("met") : QStringLiteral("MISSED"))
                     : QString())
            .arg(readPeak, 0, 'f', 1)
            .arg(qRound(readCpu * 1000))
            .arg(qRound((cpuSeconds() - cpuStart - readCpu) * 1000));
    });
    return 0;
}

void runChild(const QString& path, double targetSeconds, double targetMegabytes)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--import"), path, QString::number(targetSeconds), QString::number(targetMegabytes)});
    child.waitForFinished(-1);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QLatin1String("--import"))
        return measureImport(args[2], args[3].toDouble(), args[4].toDouble());

    // BENCH_SHEETS_DIR keeps the files, to run one import by hand: bench_sheets --import FILE 3 150
    QTemporaryDir temporary;
    const QDir dir(qEnvironmentVariableIsSet("BENCH_SHEETS_DIR") ? qEnvironmentVariable("BENCH_SHEETS_DIR")
                                                                 : temporary.path());
    const QString csv = dir.filePath("book.csv"), xlsx = dir.filePath("book.xlsx"), google = dir.filePath("google.csv");
    {
        const QList<StoredContact> contacts = sampleContacts();
        timed("export CSV", 0.5, [&] {
            writeCsvFile(csv, contacts);
            return QStringLiteral("%1 bytes").arg(QFileInfo(csv).size());
        });
        timed("export .xlsx", 3.0, [&] {
            writeXlsxFile(xlsx, contacts);
            return QStringLiteral("%1 bytes").arg(QFileInfo(xlsx).size());
        });
        QFile file(google);
        if (!file.open(QIODevice::WriteOnly) || file.write(googleCsv()) < 0)
            return 1;
        std::printf("Google CSV: %lld bytes\n", static_cast<long long>(file.size()));
    }
    for (int round = 0; round < 2; ++round) {
        runChild(csv, 3.0, 150);
        runChild(google, 3.0, 150);
        runChild(xlsx, 6.0, 0);
    }
    return 0;
}
