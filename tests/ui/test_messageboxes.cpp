#include "platform/FileFilter.h"
#include "tests/support/ScriptedDesktop.h"
#include "ui/MessageBoxes.h"

#include <QTest>

class MessageBoxesTest : public QObject {
    Q_OBJECT
private slots:
    void shouldShowInfoAndQuestionBoxesCaptionedTishi()
    {
        ScriptedDesktop desk;
        InfoBox(QStringLiteral("密码不对"));
        QCOMPARE(desk.boxes.size(), 1);
        QCOMPARE(desk.boxes[0].caption, QStringLiteral("提示"));
        QCOMPARE(desk.boxes[0].type, 0x40u);

        desk.boxAnswers = {Mb::IDYES, Mb::IDNO, 0};
        QVERIFY(ConfirmBox(QStringLiteral("真要删除这个记录吗？")));
        QVERIFY(!ConfirmBox(QStringLiteral("q")));
        QVERIFY(!ConfirmBox(QStringLiteral("box not shown")));
        QCOMPARE(desk.boxes[1].type, 0x24u);
        QCOMPARE(desk.boxes[3].caption, QStringLiteral("提示"));
    }

    void shouldCutWorkingDirectoryAtLastSlash_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("dir");
        QTest::newRow("path") << "/home/wang/dir/a.txt"
                              << "/home/wang/dir/";
        QTest::newRow("bare name") << "a.txt"
                                   << "";
        QTest::newRow("root") << "/Kalvo.mdb"
                              << "/";
        QTest::newRow("address") << "https://tessaly.org/help"
                                 << "https://tessaly.org/";
        QTest::newRow("colon is ordinary") << "/tmp/a:b/c"
                                           << "/tmp/a:b/";
        QTest::newRow("chinese") << "/数据/照片.jpg"
                                 << "/数据/";
    }
    void shouldCutWorkingDirectoryAtLastSlash()
    {
        QFETCH(QString, name);
        QFETCH(QString, dir);
        QCOMPARE(WorkingDirectoryOf(name), dir);
    }

    void shouldOpenDocumentThroughDesktopAndReportRefusal()
    {
        ScriptedDesktop desk;
        QVERIFY(OpenDocument(ProductWebPage, QString()));
        QCOMPARE(desk.shellOpens.size(), 1);
        QCOMPARE(desk.shellOpens[0].file, ProductWebPage);
        QCOMPARE(desk.shellOpens[0].parameters, QString());
        desk.shellResult = false;
        QVERIFY(!OpenDocument(QStringLiteral("/no/such/file"), QString()));
        QVERIFY(desk.boxes.isEmpty());
    }

    void shouldTurnWindowsFiltersIntoQtNameFilters()
    {
        auto entries = ParseWindowsFilter(QStringLiteral("电子表格|*.xls"));
        QCOMPARE(entries.size(), 1);
        QCOMPARE(QtNameFilter(entries[0]), QStringLiteral("电子表格 (*.xls)"));
        entries = ParseWindowsFilter(QStringLiteral("全部 (*.jpg;*.bmp)|*.jpg;*.bmp|位图 (*.bmp)|*.bmp"));
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].patterns, (QStringList{"*.jpg", "*.bmp"}));
        QCOMPARE(entries[1].description, QStringLiteral("位图 (*.bmp)"));
    }
};

QTEST_APPLESS_MAIN(MessageBoxesTest)
#include "test_messageboxes.moc"
