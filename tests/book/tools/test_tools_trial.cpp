// What an afternoon with the tools window met, driven as a person would: files
// that cannot be read among good ones, closing during an import, the preview's
// columns, a number typed as one writes it, and the small things of each page.

#include "book/BackupBook.h"
#include "book/tools/BirthdayPage.h"
#include "book/tools/ColumnFitting.h"
#include "book/tools/DuplicatesPage.h"
#include "book/tools/FindPage.h"
#include "book/tools/FoundModel.h"
#include "book/tools/ImportPage.h"
#include "book/tools/PreviewModel.h"
#include "book/tools/ProgressPanel.h"
#include "exchange/ContactDraft.h"
#include "platform/Gbk.h"
#include "store/KeptValues.h"
#include "tests/book/tools/ToolsTesting.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>

namespace {

QByteArray card(const QString& name, const QString& more = {})
{
    return (QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:%1\r\n%2END:VCARD\r\n").arg(name, more)).toUtf8();
}

QByteArray cards(int count)
{
    QByteArray all;
    for (int i = 0; i < count; ++i)
        all += card(QStringLiteral("联系人%1").arg(i), QStringLiteral("TEL:1380000%1\r\n").arg(i, 4, 10, QChar(u'0')));
    return all;
}

// TESSALY_SHOT=name: the window as shown, into name + ending.
void shoot(QWidget* window, const QString& ending)
{
    QTest::qWait(50);  // the layout settles first
    if (!qEnvironmentVariableIsEmpty("TESSALY_SHOT"))
        window->grab().save(qEnvironmentVariable("TESSALY_SHOT") + ending);
}

QStringList foundNames(FindPage* page)
{
    QStringList found;
    for (int row = 0; row < page->model()->rowCount(); ++row)
        found << page->model()->data(page->model()->index(row, 1), Qt::DisplayRole).toString();
    return found;
}

}  // namespace

class ToolsTrialTest : public QObject {
    Q_OBJECT

private slots:
    void shouldPreviewTheReadableFilesAndNameEachOneThatIsNot()
    {
        ToolsRun run;
        run.write(QStringLiteral("手机.vcf"), card(QStringLiteral("张三")) + card(QStringLiteral("李四")));
        run.write(QStringLiteral("照片.vcf"), smallJpeg());
        run.write(QStringLiteral("表格.xlsx"), "not a workbook");
        run.write(QStringLiteral("表格.csv"), toGbk(QStringLiteral("姓名,电话\r\n王五,110\r\n")));
        auto* page = run.show<ImportPage>(QStringLiteral("import"));
        const QStringList names{QStringLiteral("手机.vcf"), QStringLiteral("照片.vcf"), QStringLiteral("表格.xlsx"),
                                QStringLiteral("表格.csv")};
        QStringList files;
        for (const QString& name : names)
            files << run.file(name);
        page->addFiles(files);
        QTRY_VERIFY(!page->isReading());

        QCOMPARE(page->model()->rowCount(), 3);
        QCOMPARE(page->files(), (QStringList{files[0], files[3]}));
        QCOMPARE(run.desktop.boxes.size(), 1);  // one box, a line for each file left out
        const QStringList said = run.said().split(u'\n');
        for (const auto& expected :
             {std::pair{names[1], QStringLiteral("BEGIN:VCARD")}, std::pair{names[2], QStringLiteral("无法读取文件")}})
            QVERIFY2(std::any_of(said.begin(), said.end(),
                                 [&](const QString& line) {
                                     return line.contains(expected.first) && line.contains(expected.second);
                                 }),
                     qPrintable(run.said()));
        // What the CSV said of itself stands with the files shown.
        QVERIFY2(page->filesLabel()->text().contains(QStringLiteral("表格.csv：编码：GB")),
                 qPrintable(page->filesLabel()->text()));
        shoot(&run.window, QStringLiteral("-files.png"));

        // Adding another file reads the good ones again, not the bad ones.
        run.write(QStringLiteral("又一张.vcf"), card(QStringLiteral("赵六")));
        run.desktop.boxes.clear();
        page->addFiles({run.file(QStringLiteral("又一张.vcf"))});
        QTRY_VERIFY(!page->isReading());
        QCOMPARE(page->model()->rowCount(), 4);
        QCOMPARE(run.desktop.boxes.size(), 0);
    }

    void shouldAskBeforeClosingWithRowsWaitingOrEscapingIdle()
    {
        ToolsRun run;
        run.write(QStringLiteral("a.vcf"), card(QStringLiteral("张三")));
        auto* page = run.show<ImportPage>(QStringLiteral("import"));
        // Nothing to lose: Esc closes as it closes a dialog, without a question.
        QTest::keyClick(page->table(), Qt::Key_Escape);
        QVERIFY(!run.window.isVisible());
        QCOMPARE(run.desktop.boxes.size(), 0);

        run.window.show();
        page->addFiles({run.file(QStringLiteral("a.vcf"))});
        QTRY_VERIFY(!page->isReading());
        for (const int answer : {Mb::IDNO, Mb::IDYES}) {
            run.desktop.boxAnswers = {answer};
            QTest::keyClick(page->table(), Qt::Key_Escape);
            QCOMPARE(run.desktop.boxes.last().text, QStringLiteral("导入尚未完成，取消吗？"));
            QCOMPARE(run.window.isVisible(), answer == Mb::IDNO);
            QCOMPARE(page->model()->rowCount(), answer == Mb::IDNO ? 1 : 0);
        }
        QCOMPARE(run.book.count(), 0);
    }

    void shouldAskBeforeClosingDuringTheWriteAndUndoItOnYes()
    {
        const int count = 3000;
        for (const int answer : {Mb::IDYES, Mb::IDNO}) {
            ToolsRun run;
            run.write(QStringLiteral("many.vcf"), cards(count));
            auto* page = run.show<ImportPage>(QStringLiteral("import"));
            page->addFiles({run.file(QStringLiteral("many.vcf"))});
            QTRY_VERIFY(!page->isReading());
            page->progress()->showAfterMs = 0;
            run.desktop.boxAnswers = {answer};
            // Alt+F4 as the window manager sends it, while the contacts are being written.
            QTimer::singleShot(0, &run.window, [&] {
                QVERIFY(page->isWriting());
                run.window.close();
            });
            const bool written = page->importTicked();
            QCOMPARE(run.desktop.boxes.first().text, QStringLiteral("导入尚未完成，取消吗？"));
            if (answer == Mb::IDYES) {
                QVERIFY(!written);
                QCOMPARE(run.book.count(), 0);  // undone, as by 取消
                QTRY_VERIFY(!run.window.isVisible());
            } else {
                QVERIFY(written);
                QCOMPARE(run.book.count(), count);
                QTest::qWait(20);
                QVERIFY(run.window.isVisible());
            }
        }
    }

    void shouldShareTheWidthContentFirstAndTheExplanationLast_data()
    {
        QTest::addColumn<QList<int>>("wanted");
        QTest::addColumn<int>("room");
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<int>("yielding");
        // The last column keeps 100 at least; the yielding one 40 (when there is one).
        QTest::newRow("room for all: the last takes the rest")
            << QList<int>{30, 50, 100} << 300 << QList<int>{30, 50, 220} << -1;
        QTest::newRow("tight: the widest cut to one width")
            << QList<int>{30, 200, 300, 400} << 330 << QList<int>{30, 100, 100, 100} << -1;
        QTest::newRow("tight: a narrow column is never cut")
            << QList<int>{40, 60, 500, 0} << 300 << QList<int>{40, 60, 100, 100} << -1;
        QTest::newRow("no room: the last keeps its least")
            << QList<int>{30, 50, 0} << 80 << QList<int>{0, 0, 100} << -1;
        QTest::newRow("the note gives way first")
            << QList<int>{30, 200, 300, 0} << 400 << QList<int>{30, 200, 70, 100} << 2;
        QTest::newRow("the note at its least, then the others cut")
            << QList<int>{30, 200, 300, 0} << 300 << QList<int>{30, 130, 40, 100} << 2;
        QTest::newRow("a short note keeps its width")
            << QList<int>{30, 200, 20, 0} << 300 << QList<int>{30, 150, 20, 100} << 2;
    }
    void shouldShareTheWidthContentFirstAndTheExplanationLast()
    {
        QFETCH(QList<int>, wanted);
        QFETCH(int, room);
        QFETCH(QList<int>, widths);
        QFETCH(int, yielding);
        QCOMPARE(FitColumnWidths(wanted, room, ColumnFit{100, 0, yielding, 40}), widths);
    }

    void shouldShowThePreviewsDataColumnsWhole()
    {
        ToolsRun run;
        run.write(QStringLiteral("a.vcf"),
                  card(QStringLiteral("欧阳建国"),
                       QStringLiteral("BDAY:1985-10-01\r\nTEL:+86 138 0013 8000\r\nX-QQ:1234567890\r\n"
                                      "ADR:;;建国门外大街一号;北京;北京\r\n"
                                      "EMAIL:ouyang@example.com\r\nNOTE:一位很久以前的同学\r\n")));
        auto* page = run.show<ImportPage>(QStringLiteral("import"));
        page->addFiles({run.file(QStringLiteral("a.vcf"))});
        QTRY_VERIFY(!page->isReading());
        run.window.resize(980, 660);  // as it opens on a screen of 1024 x 768
        QTableView* table = page->table();
        const QAbstractItemView* items = table;  // its content hints are public there
        QCOMPARE(table->model()->headerData(PreviewModel::MarkColumn, Qt::Horizontal).toString(),
                 QStringLiteral("说明"));
        QCOMPARE(table->horizontalHeader()->count(), PreviewModel::MarkColumn + 1);  // 说明 is last
        const auto content = [&](int column) {
            return std::max(items->sizeHintForColumn(column), table->horizontalHeader()->sectionSizeHint(column));
        };
        const auto whole = [&](int column) { return table->columnWidth(column) >= content(column); };
        for (const ContactText text :
             {ContactText::Name, ContactText::Birthday, ContactText::Phone, ContactText::QQ, ContactText::Address})
            QTRY_VERIFY2(whole(PreviewModel::FirstTextColumn + int(text)), qPrintable(ContactTextColumn(text)));
        QTRY_VERIFY(table->columnWidth(PreviewModel::MarkColumn) >= 120);
        shoot(&run.window, QStringLiteral("-preview.png"));

        // A maximised window widens the data columns: 备注 too, as far as a column shows a text.
        const int note = PreviewModel::FirstTextColumn + int(ContactText::Note);
        const int before = table->columnWidth(note);
        run.window.resize(1600, 800);
        QTRY_VERIFY(table->columnWidth(note) > before);
        QVERIFY(table->columnWidth(note) >= std::min(360, content(note)));
        shoot(&run.window, QStringLiteral("-preview-wide.png"));
    }

    void shouldFindANumberAsOneTypesItAndTheValuesKeptAside()
    {
        ToolsRun run;
        run.book.add({{QString(), QStringLiteral("张三丰"), QString(), QStringLiteral("138-0013-8000")},
                      {QString(), QStringLiteral("李四"), QString(), QStringLiteral("13900001111")}});
        {
            BookFile book(run.book.path);
            EnsureKeptTable(book.connection.Handle());
            AddKept(book.connection.Handle(), {{2, QStringLiteral("邮箱"), QStringLiteral("lisi@example.com")}});
        }
        auto* page = run.show<FindPage>(QStringLiteral("find"));
        QVERIFY(QTest::qWaitForWindowActive(&run.window));
        const QList<std::pair<QString, QStringList>> searches{
            {QStringLiteral("13800138000"), {QStringLiteral("张三丰")}},
            {QStringLiteral("138 0013"), {QStringLiteral("张三丰")}},
            {QStringLiteral("lisi@"), {QStringLiteral("李四")}},
        };
        for (const auto& [typed, expected] : searches) {
            page->field()->setText(typed);
            QCOMPARE(foundNames(page), expected);
        }
        // Down in the field goes to the first contact found.
        page->field()->setFocus();
        QTest::keyClick(page->field(), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), page->table());
        QCOMPARE(page->shownTexts().value(1), QStringLiteral("李四"));
        QCOMPARE(page->keptText(), QStringLiteral("邮箱:lisi@example.com"));
        shoot(&run.window, QStringLiteral("-find.png"));
    }

    void shouldOpenInsideTheScreen()
    {
        ToolsRun run;
        run.window.resize(3000, 2000);  // larger than any screen the test runs on
        run.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&run.window));
        const QRect screen = run.window.screen()->availableGeometry();
        QVERIFY2(screen.contains(run.window.frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(run.window.frameGeometry().x())
                                .arg(run.window.frameGeometry().y())
                                .arg(run.window.frameGeometry().width())
                                .arg(run.window.frameGeometry().height())));
    }

    void shouldTickARowWithSpaceOnAnyCellAndKeepTheReport()
    {
        ToolsRun run;
        run.write(QStringLiteral("a.vcf"), card(QStringLiteral("张三")) + card(QStringLiteral("李四")));
        auto* page = run.show<ImportPage>(QStringLiteral("import"));
        // The dialog offers each kind once, the dialog adding the patterns itself.
        run.desktop.openNames = {QStringList{run.file(QStringLiteral("a.vcf"))}};
        QTest::mouseClick(page->chooseButton(), Qt::LeftButton);
        QVERIFY2(run.desktop.openFilters.value(0).startsWith(QStringLiteral("联系人文件|*.vcf;")),
                 qPrintable(run.desktop.openFilters.value(0)));
        QTRY_COMPARE(page->model()->rowCount(), 2);

        page->table()->setFocus();
        page->table()->setCurrentIndex(page->model()->index(1, PreviewModel::FirstTextColumn + int(ContactText::Name)));
        QTest::keyClick(page->table(), Qt::Key_Space);
        QCOMPARE(page->model()->ticks(), (QList<bool>{true, false}));
        QTest::keyClick(page->table(), Qt::Key_Space);
        QCOMPARE(page->model()->ticks(), (QList<bool>{true, true}));

        QVERIFY(page->importTicked());
        QVERIFY(page->lastReport()->isVisible());
        QVERIFY2(page->lastReport()->toPlainText().contains(QStringLiteral("添加 2 条")),
                 qPrintable(page->lastReport()->toPlainText()));
        // It stays while other files are previewed, until the next import.
        run.write(QStringLiteral("b.vcf"), card(QStringLiteral("王五")));
        page->addFiles({run.file(QStringLiteral("b.vcf"))});
        QTRY_VERIFY(!page->isReading());
        QVERIFY(page->lastReport()->toPlainText().contains(QStringLiteral("添加 2 条")));
        shoot(&run.window, QStringLiteral("-report.png"));
        QVERIFY(page->importTicked());
        QVERIFY(page->lastReport()->toPlainText().contains(QStringLiteral("添加 1 条")));
    }

    void shouldRememberASplitAndForgetAMergeARestoreUndid()
    {
        ToolsRun run;
        run.book.add({{"", "李明", "", "13800138000"},
                      {"", "李明", "", "138 0013 8000"},
                      {"", "王芳", "", "13800138000"},
                      {"", "甲", "", "", "123456"},
                      {"", "乙", "", "", "123456"}});
        auto* page = run.show<DuplicatesPage>(QStringLiteral("duplicates"));
        QCOMPARE(page->groups()->count(), 2);
        QVERIFY(page->splitButton()->isEnabled());  // the first record's, until another column is chosen
        page->table()->setCurrentCell(int(ContactText::Name), 2);
        QVERIFY(page->splitCurrent());
        QCOMPARE(page->current()->group().numbers, (QList<qint64>{1, 2}));

        // The window reopened: 王芳 stays out of the group, and the command lists it so too.
        page->load();
        QCOMPARE(page->groups()->count(), 2);
        QCOMPARE(page->current()->group().numbers, (QList<qint64>{1, 2}));
        shoot(&run.window, QStringLiteral("-apart.png"));
        const BookResult listed = run.book.run({QStringLiteral("duplicates")});
        QVERIFY2(!listed.out.join(u'\n').contains(QStringLiteral("王芳")), qPrintable(listed.out.join(u'\n')));

        // A group split down to one record is no group when listed again.
        page->groups()->setCurrentRow(1);
        page->table()->setCurrentCell(int(ContactText::Name), 1);
        QVERIFY(page->splitCurrent());
        page->load();
        QCOMPARE(page->groups()->count(), 1);

        run.desktop.boxAnswers = {Mb::IDYES};
        QVERIFY(page->mergeSelected());
        QVERIFY(page->result()->text().contains(QStringLiteral("即可撤销合并")));
        const QString backup = page->result()->text().section(u'\n', 1, 1);
        RestoreBackup(run.book.path, backup);
        emit run.window.session().bookChanged();  // as the 备份 page tells after a restore
        QCOMPARE(page->result()->text(), QString());
    }

    void shouldOfferABirthdayCalendarByNameAndPointToThePage()
    {
        ToolsRun run;
        run.book.add({{QString(), QStringLiteral("张三"), QStringLiteral("1990-05-01")},
                      {QString(), QStringLiteral("李四"), QStringLiteral("不知道")}});
        auto* page = run.show<BirthdayPage>(QStringLiteral("birthdays"));
        run.desktop.saveNames = {run.file(QStringLiteral("生日.ics"))};
        QVERIFY(page->exportCalendar());
        QCOMPARE(run.desktop.saveSuggested, QStringList{QStringLiteral("生日.ics")});
        QVERIFY2(run.said().contains(QStringLiteral("本页下方列出它们")) && !run.said().contains(QStringLiteral("--")),
                 qPrintable(run.said()));
    }
};

QTEST_MAIN(ToolsTrialTest)
#include "test_tools_trial.moc"
