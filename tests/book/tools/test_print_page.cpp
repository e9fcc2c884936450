// 打印, driven as a person would: the choices change the preview, 保存为 PDF asks
// before replacing and writes the file, 取消 leaves no file, 打印 goes through
// the print dialog to the printer it set up.

#include "book/tools/PrintPage.h"
#include "book/tools/ProgressPanel.h"
#include "tests/book/PdfReading.h"
#include "tests/book/tools/ToolsTesting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

namespace {

struct PrintRun : ToolsRun {
    PrintPage* page = nullptr;
    PrintRun()
    {
        QList<QList<QVariant>> records;
        for (int i = 0; i < 60; ++i)
            records << QList<QVariant>{
                i % 3 ? u"同事"_qs : u"同学"_qs,    u"张%1"_qs.arg(i), QString(),
                QString::number(13800000000LL + i), QString(),         u"北京市海淀区%1号"_qs.arg(i)};
        records << QList<QVariant>{u"朋友"_qs, u"王五"_qs, QString(), u"110"_qs,
                                   QString(),  QString(),  QString(), smallJpeg()};
        book.add(records);
        page = show<PrintPage>(u"print"_qs);
        page->progress()->showAfterMs = 0;
        page->refresh();
    }
    QImage preview() const { return page->preview()->pixmap().toImage(); }
};

}  // namespace

class PrintPageTest : public QObject {
    Q_OBJECT

private slots:
    void shouldFollowEveryChoiceInThePreview()
    {
        PrintRun run;
        QVERIFY(run.page->pageCount()->text().contains(u"61 个联系人"_qs));
        const int listPages = run.page->pageNumber()->maximum();
        QImage last = run.preview();
        QVERIFY(!last.isNull());
        const auto changed = [&](const char* what) {
            run.page->refresh();
            const QImage now = run.preview();
            const bool differs = now != last;
            last = now;
            if (!differs)
                qWarning() << what << "left the preview as it was";
            return differs;
        };
        run.page->style()->setCurrentIndex(1);
        QVERIFY(changed("style"));
        QCOMPARE(run.page->pageNumber()->maximum(), 8);  // 61 cards, eight a page
        QVERIFY(!run.page->column(PrintColumn::Photo)->isChecked()
                || run.page->column(PrintColumn::Photo)->isEnabled());
        run.page->column(PrintColumn::Address)->setChecked(false);
        QVERIFY(changed("address"));
        run.page->category()->setCurrentIndex(run.page->category()->findText(u"朋友"_qs));
        QVERIFY(changed("category"));
        QVERIFY(run.page->pageCount()->text().contains(u"（1 个联系人）"_qs));
        run.page->category()->setCurrentIndex(0);
        run.page->find()->setText(u"张1"_qs);
        QVERIFY(changed("find"));
        QVERIFY(run.page->pageCount()->text().contains(u"（11 个联系人）"_qs));  // 张1, 张10 … 张19
        run.page->style()->setCurrentIndex(0);
        QVERIFY(changed("list"));
        QVERIFY(!run.page->column(PrintColumn::Phone)->isEnabled());  // the list keeps 电话
        QVERIFY(run.page->column(PrintColumn::Phone)->isChecked());
        run.page->find()->clear();
        run.page->column(PrintColumn::Address)->setChecked(true);
        run.page->refresh();
        QCOMPARE(run.page->pageNumber()->maximum(), listPages);
        run.page->pageNumber()->setValue(2);
        QVERIFY(run.preview() != last);
    }

    void shouldAskBeforeReplacingAndWriteThePdf()
    {
        PrintRun run;
        const QString pdf = run.file(u"名单.pdf"_qs);
        TestFolder::writeAll(pdf, "old");
        run.desktop.saveNames.push_back(run.file(u"名单"_qs));
        run.desktop.boxAnswers.push_back(Mb::IDNO);
        QVERIFY(!run.page->savePdf());
        QCOMPARE(TestFolder::readAll(pdf), QByteArray("old"));
        run.desktop.boxAnswers.push_back(Mb::IDYES);
        QVERIFY(run.page->saveAs(pdf));
        QVERIFY(pdfText(pdf).contains(u"王五"_qs));
        QVERIFY(run.page->result()->text().contains(u"已打印 61 个联系人"_qs));
    }

    void shouldLeaveNoFileWhenCancelled()
    {
        PrintRun run;
        const QStringList before = run.book.files();
        // 取消 is pressed as soon as the job lets the window answer; till then no choice can change.
        bool held = false;
        QTimer::singleShot(0, run.page, [&] {
            held = !run.page->style()->isEnabled() && !run.page->column(PrintColumn::QQ)->isEnabled();
            run.page->progress()->cancelButton()->click();
        });
        QVERIFY(!run.page->saveAs(run.file(u"取消.pdf"_qs)));
        QCOMPARE(run.book.files(), before);
        QVERIFY(run.page->result()->text().contains(u"已取消"_qs));
        QVERIFY(held);
        QVERIFY(run.page->saveButton()->isEnabled() && run.page->column(PrintColumn::QQ)->isEnabled());
        QVERIFY(!run.page->column(PrintColumn::Phone)->isEnabled());  // the list's 电话 stays as it was
    }

    void shouldPrintThroughThePrintDialog()
    {
        PrintRun run;
        QVERIFY(!run.page->printNow());  // the dialog cancelled: nothing printed
        QCOMPARE(run.desktop.printDialogs, 1);
        const QString printed = run.file(u"打印机.pdf"_qs);
        run.desktop.printAnswers.push_back([&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printed);
            return true;
        });
        run.page->style()->setCurrentIndex(1);
        QVERIFY(run.page->printNow());
        QCOMPARE(pdfPages(printed), 8);
        QVERIFY(pdfText(printed, 8).contains(u"第 8 页 共 8 页"_qs));
    }
};

QTEST_MAIN(PrintPageTest)
#include "test_print_page.moc"
