// export: every contact in table order, written whole or not at all.

#include "book/AtomicSave.h"
#include "exchange/ContactDraft.h"
#include "tests/book/BookTesting.h"
#include "tests/support/ScriptedDesktop.h"

#include <QTest>

#include <sys/stat.h>

class ExportTest : public QObject {
    Q_OBJECT

private slots:
    void shouldWriteEveryContactInTableOrder()
    {
        TestBook book;
        book.add(
            {{QString(), QStringLiteral("乙")}, {QString(), QStringLiteral("甲")}, {QString(), QStringLiteral("丙")}});
        const QString file = book.folder.file(QStringLiteral("out.vcf"));
        const BookResult result = book.run({QStringLiteral("export"), file});
        QCOMPARE(result.status, ExitCode::Success);
        QCOMPARE(result.out, QStringList{QStringLiteral("已导出 3 个联系人到 %1").arg(file)});
        const QString text = QString::fromUtf8(TestFolder::readAll(file));
        const qsizetype first = text.indexOf(QStringLiteral("FN:乙"));
        const qsizetype second = text.indexOf(QStringLiteral("FN:甲"));
        const qsizetype third = text.indexOf(QStringLiteral("FN:丙"));
        QVERIFY(first >= 0 && first < second && second < third);
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0600));  // contacts are private
    }

    void shouldKeepTheOldFileWhenTheWriterFails()
    {
        TestFolder folder;
        const QString target = folder.file(QStringLiteral("old.vcf"));
        TestFolder::writeAll(target, "the old contacts");
        QVERIFY_THROWS_EXCEPTION(ExchangeError, SaveAtomically(target, [](const QString& path) {
                                     TestFolder::writeAll(path, "half a fi");
                                     throw ExchangeError(QStringLiteral("磁盘已满"));
                                 }));
        QCOMPARE(TestFolder::readAll(target), QByteArray("the old contacts"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("old.vcf")});

        SaveAtomically(target, [](const QString& path) { TestFolder::writeAll(path, "new"); });
        QCOMPARE(TestFolder::readAll(target), QByteArray("new"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("old.vcf")});
    }

    void shouldAskForTheFileWithGui()
    {
        ScriptedDesktop desktop;
        TestBook book;
        book.add({{QString(), QStringLiteral("甲")}});

        desktop.saveNames.push_back(std::nullopt);
        const BookResult cancelled = book.run({QStringLiteral("export"), QStringLiteral("--gui")});
        QCOMPARE(cancelled.status, ExitCode::Failure);
        QVERIFY(desktop.boxes.isEmpty());
        QCOMPARE(desktop.saveFilters, QStringList{QStringLiteral("vCard 名片 (*.vcf)|*.vcf|CSV 表格 (*.csv)|*.csv|"
                                                                 "Excel 电子表格 (*.xlsx)|*.xlsx|"
                                                                 "iCalendar 生日日历 (*.ics)|*.ics")});

        desktop.saveNames.push_back(book.folder.file(QStringLiteral("手机")));
        const BookResult saved = book.run({QStringLiteral("--gui"), QStringLiteral("export")});
        QCOMPARE(saved.status, ExitCode::Success);
        QVERIFY(QFile::exists(book.folder.file(QStringLiteral("手机.vcf"))));
        QCOMPARE(desktop.boxes.size(), 1);
        QCOMPARE(desktop.boxes[0].caption, QStringLiteral("导出联系人"));
    }
};

QTEST_MAIN(ExportTest)
#include "test_export.moc"
