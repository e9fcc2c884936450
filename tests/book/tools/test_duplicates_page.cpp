// The 重复 page driven by the keyboard and its buttons: a record split off,
// a value picked, one group merged through the merge command's code, the
// backup named and restorable, and a record changed meanwhile refused.

#include "book/tools/DuplicatesPage.h"
#include "book/tools/ToolsSession.h"
#include "tests/book/BookHolder.h"
#include "tests/book/tools/ToolsTesting.h"
#include "tests/support/RawBook.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

namespace {
// TESSALY_SHOT=name: the window as shown, into name + ending.
void shoot(QWidget* page, const QString& ending)
{
    QTest::qWait(50);  // the layout settles first
    if (!qEnvironmentVariableIsEmpty("TESSALY_SHOT"))
        page->window()->grab().save(qEnvironmentVariable("TESSALY_SHOT") + ending);
}

int row(ContactText column)
{
    return int(column);
}
}  // namespace

class DuplicatesPageTest : public QObject {
    Q_OBJECT

private slots:
    void shouldPickSplitAndMergeOneGroupNamingTheBackup()
    {
        ToolsRun run;
        const QByteArray photo = smallJpeg();
        run.book.add({{"朋友", "李明", "1990-01-02", "13800138000", "", "北京"},
                      {"同事", "李明", "", "+86 13800138000", "5566", "上海", "爱下棋", photo},
                      {"", "王芳", "", "138 0013 8000"},  // the same phone, another person: split off
                      {"", "甲", "", "", "123456"},
                      {"", "乙", "", "", "123456"}});
        auto* page = run.show<DuplicatesPage>(QStringLiteral("duplicates"));
        QVERIFY(QTest::qWaitForWindowActive(&run.window));  // for the buttons' Alt keys
        QCOMPARE(page->groups()->count(), 2);
        QCOMPARE(page->groups()->currentRow(), 0);
        QTableWidget* table = page->table();
        QCOMPARE(table->columnCount(), 4);  // three records and what the merge writes
        QCOMPARE(page->mergedColumn(), 3);
        // Only a record with a photo offers it; by default the photo the first record lacks is taken.
        QVERIFY(!(table->item(GroupChoice::PhotoRow, 0)->flags() & Qt::ItemIsUserCheckable));
        QCOMPARE(table->item(GroupChoice::PhotoRow, 1)->checkState(), Qt::Checked);

        // 王芳 split off with the keyboard: her column, then Alt+X.
        table->setFocus();
        table->setCurrentCell(row(ContactText::Name), 2);
        QTest::keyClick(&run.window, Qt::Key_X, Qt::AltModifier);
        QTRY_COMPARE(page->current()->group().numbers,
                     (QList<qint64>{1, 2}));  // a button's Alt key clicks it soon after
        QCOMPARE(table->columnCount(), 3);
        // Differences marked: the names are one, the addresses are not.
        QCOMPARE(table->item(row(ContactText::Name), 0)->background().style(), Qt::NoBrush);
        QVERIFY(table->item(row(ContactText::Address), 0)->background().style() != Qt::NoBrush);

        // 上海 picked with Space; the merged column shows it and keeps 北京 in 备注.
        table->setCurrentCell(row(ContactText::Address), 1);
        QTest::keyClick(table, Qt::Key_Space);
        QCOMPARE(table->item(row(ContactText::Address), 1)->checkState(), Qt::Checked);
        QCOMPARE(table->item(row(ContactText::Address), 0)->checkState(), Qt::Unchecked);
        QCOMPARE(table->item(row(ContactText::Address), 2)->text(), QStringLiteral("上海"));
        // A tick taken off comes back: every row keeps one value.
        QTest::keyClick(table, Qt::Key_Space);
        QCOMPARE(table->item(row(ContactText::Address), 1)->checkState(), Qt::Checked);
        // 同事 picked with Enter.
        table->setCurrentCell(row(ContactText::Category), 1);
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(page->current()->choice().texts[row(ContactText::Category)], 1);
        shoot(page, QStringLiteral(".png"));

        const QList<ContactTexts> before = run.book.texts();
        run.desktop.boxAnswers = {Mb::IDYES};
        QTest::keyClick(&run.window, Qt::Key_M, Qt::AltModifier);
        QTRY_VERIFY2(page->result()->text().contains(QStringLiteral("并入编号 1")), qPrintable(run.said()));
        const QList<StoredContact> after = BookFile(run.book.path).contacts();
        QCOMPARE(after.size(), 4);
        QCOMPARE(after[0].texts, (ContactTexts{"同事", "李明", "1990-01-02", "13800138000", "5566", "上海",
                                               "爱下棋；类别:朋友；地址:北京"}));
        QCOMPARE(after[0].photo, photo);
        QCOMPARE(after[1].text(ContactText::Name), QStringLiteral("王芳"));
        QCOMPARE(page->groups()->count(), 1);  // the other group waits, unmerged
        shoot(page, QStringLiteral("-merged.png"));

        const QString shown = page->result()->text();
        const QString backup = shown.section(u'\n', 1, 1);
        QVERIFY2(QFile::exists(backup), qPrintable(shown));
        QCOMPARE(BookFile(backup).texts(), before);

        // A record the window changed since the page listed it: refused, nothing changed.
        RawBook(run.book.path).execute("update rem set 地址 = '广州' where 姓名 = '乙'");
        const QByteArray bytes = run.book.bytes();
        run.desktop.boxes.clear();
        run.desktop.boxAnswers = {Mb::IDYES};
        QVERIFY(!page->mergeSelected());
        QVERIFY2(run.said().contains(QStringLiteral("已被改动；请点“重新查找”")), qPrintable(run.said()));
        QCOMPARE(run.book.bytes(), bytes);
    }

    void shouldRefuseAMergeWhileTheWindowProgramHoldsTheBook()
    {
        ToolsRun run;
        run.book.add({{"", "甲", "", "13800138000"}, {"", "乙", "", "13800138000"}});
        auto* page = run.show<DuplicatesPage>(QStringLiteral("duplicates"));
        QCOMPARE(page->groups()->count(), 1);
        const BookHolder window(run.book.path);
        QVERIFY(window.held());
        const QByteArray bytes = run.book.bytes();
        const QStringList files = run.book.files();
        run.desktop.boxAnswers = {Mb::IDYES};
        QVERIFY(!page->mergeSelected());
        QVERIFY2(run.said().contains(QStringLiteral("tessaly，进程 %1").arg(window.pid())), qPrintable(run.said()));
        QCOMPARE(run.book.bytes(), bytes);
        QCOMPARE(run.book.files(), files);
        QCOMPARE(page->groups()->count(), 1);  // the group stays, to merge once the window is closed
    }
};

QTEST_MAIN(DuplicatesPageTest)
#include "test_duplicates_page.moc"
