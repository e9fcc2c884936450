// Spreadsheets with 100,000 contacts: export to CSV (target 0.5 s) and to .xlsx
// (target 3 s), import of the CSV (target 2 s: reading and fitting, before the
// book is written), and for scale the import of the .xlsx.
#include "exchange/ImportPlan.h"
#include "exchange/csv/CsvReader.h"
#include "exchange/csv/CsvWriter.h"
#include "exchange/xlsx/XlsxReader.h"
#include "exchange/xlsx/XlsxWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
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

// The process's processor time (user and system), which a busy machine does not inflate as it does the clock.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void timed(const char* what, double targetSeconds, const std::function<QString()>& step)
{
    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = cpuSeconds();
    const QString detail = step();
    const double seconds = timer.nsecsElapsed() / 1e9, cpu = cpuSeconds() - cpuBefore;
    if (targetSeconds > 0)
        std::printf("%-26s %6.3f s, processor %6.3f s (target %.1f s, %s)  %s\n", what, seconds, cpu, targetSeconds,
                    seconds <= targetSeconds ? "met" : "MISSED", qPrintable(detail));
    else
        std::printf("%-26s %6.3f s, processor %6.3f s  %s\n", what, seconds, cpu, qPrintable(detail));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QList<StoredContact> contacts = sampleContacts();
    const QString csv = dir.filePath("book.csv"), xlsx = dir.filePath("book.xlsx");
    const ColumnWidths widths{10, 10, 15, 15, 15, 30, 100};
    for (int round = 0; round < 3; ++round) {
        timed("export CSV", 0.5, [&] {
            writeCsvFile(csv, contacts);
            return QStringLiteral("%1 bytes").arg(QFileInfo(csv).size());
        });
        timed("export .xlsx", 3.0, [&] {
            writeXlsxFile(xlsx, contacts);
            return QStringLiteral("%1 bytes").arg(QFileInfo(xlsx).size());
        });
        timed("import CSV (read + fit)", 2.0, [&] {
            QElapsedTimer part;
            part.start();
            const DraftSet set = readCsvFile(csv);
            const qint64 reading = part.restart();
            const ImportPlan plan = PlanImport({{csv, set}}, widths, {});
            return QStringLiteral("%1 rows, %2 to add; reading %3 ms, fitting %4 ms")
                .arg(set.drafts.size())
                .arg(plan.added())
                .arg(reading)
                .arg(part.elapsed());
        });
        timed("import .xlsx (read + fit)", 0, [&] {
            const DraftSet set = readXlsxFile(xlsx);
            const ImportPlan plan = PlanImport({{xlsx, set}}, widths, {});
            return QStringLiteral("%1 rows, %2 to add").arg(set.drafts.size()).arg(plan.added());
        });
    }
    return 0;
}
