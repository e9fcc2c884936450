// The tools window's pages, driven as a person would: through their buttons,
// fields and tables, with the scripted desktop answering the boxes and dialogs.

#include "book/BackupBook.h"
#include "book/BirthdayAutostart.h"
#include "book/tools/BackupPage.h"
#include "book/tools/BirthdayPage.h"
#include "book/tools/CheckPage.h"
#include "book/tools/ExportPage.h"
#include "book/tools/FindPage.h"
#include "book/tools/FoundModel.h"
#include "book/tools/ImportPage.h"
#include "book/tools/PreviewModel.h"
#include "book/tools/PreviewReading.h"
#include "book/tools/ProgressPanel.h"
#include "book/tools/ToolsStart.h"
#include "exchange/Formats.h"
#include "forms/MaskEdit.h"
#include "forms/Unit_mm.h"
#include "store/ContactSchema.h"
#include "tests/book/BookHolder.h"
#include "tests/book/tools/ToolsTesting.h"
#include "tests/support/RawBook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Three cards: one with an e-mail (into 备注), one the book has, one with a photo.
QByteArray phoneFile()
{
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:张三\r\nTEL:13800138000\r\nEMAIL:zs@example.com\r\nEND:VCARD\r\n"
           "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:李四\r\nTEL:110\r\nEND:VCARD\r\n"
           "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:王五\r\nPHOTO;ENCODING=b;TYPE=JPEG:"
           + smallJpeg().toBase64() + "\r\nEND:VCARD\r\n";
}

QStringList names(const QList<ContactTexts>& contacts)
{
    QStringList all;
    for (const ContactTexts& texts : contacts)
        all << texts[int(ContactText::Name)];
    return all;
}

}  // namespace

class ToolsPagesTest : public QObject {
    Q_OBJECT

private slots:
    void shouldPreviewWithoutWritingThenImportTheTickedRows()
    {
        ToolsRun run;
        run.book.add({{QString(), QStringLiteral("李四"), QString(), QStringLiteral("110")}});
        run.write(QStringLiteral("手机.vcf"), phoneFile());
        auto* page = run.show<ImportPage>(QStringLiteral("import"));
        run.window.previewFiles({run.file(QStringLiteral("手机.vcf")), run.file(QStringLiteral("说明.txt"))});
        QTRY_VERIFY(!page->isReading());

        QVERIFY2(run.said().contains(QStringLiteral("不能导入")), qPrintable(run.said()));
        PreviewModel* model = page->model();
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(model->ticks(), (QList<bool>{true, false, true}));
        QVERIFY(model->data(model->index(0, PreviewModel::MarkColumn), Qt::DisplayRole)
                    .toString()
                    .contains(QStringLiteral("记入备注：邮箱")));
        QVERIFY(model->data(model->index(1, PreviewModel::MarkColumn), Qt::DisplayRole)
                    .toString()
                    .contains(QStringLiteral("与通讯录中第 1 条联系人“李四”相同")));
        QVERIFY(!model->data(model->index(2, PreviewModel::PhotoColumn), Qt::DecorationRole).value<QPixmap>().isNull());
        QCOMPARE(run.book.count(), 1);  // nothing written by the preview

        // Unticked with the keyboard: the first row's tick, then Space.
        page->table()->setFocus();
        page->table()->setCurrentIndex(model->index(0, PreviewModel::TickColumn));
        QTest::keyClick(page->table(), Qt::Key_Space);
        QCOMPARE(model->ticks(), (QList<bool>{false, false, true}));

        run.desktop.boxes.clear();
        QVERIFY(page->importTicked());
        QCOMPARE(names(run.book.texts()), (QStringList{QStringLiteral("李四"), QStringLiteral("王五")}));
        QVERIFY(!BookFile(run.book.path).contacts().last().photo.isEmpty());
        QVERIFY2(run.said().contains(QStringLiteral("添加 1 条，跳过 2 条")), qPrintable(run.said()));
        QCOMPARE(model->rowCount(), 0);  // the imported files leave the preview
    }

    void shouldLeaveTheBookUntouchedWhenTheImportIsCancelled()
    {
        ToolsRun run;
        run.write(QStringLiteral("a.vcf"), phoneFile());
        auto* page = run.show<ImportPage>(QStringLiteral("import"));
        page->addFiles({run.file(QStringLiteral("a.vcf"))});
        QTRY_VERIFY(!page->isReading());
        page->progress()->showAfterMs = 0;
        QTimer::singleShot(0, page->progress()->cancelButton(), &QPushButton::click);
        QVERIFY(!page->importTicked());
        QCOMPARE(run.book.count(), 0);
        QVERIFY2(run.said().contains(QStringLiteral("已取消，通讯录未改动")), qPrintable(run.said()));
        QCOMPARE(page->model()->rowCount(), 3);  // still there to import later
    }

    // A file that takes long to read (a pipe the test feeds when it wants) is read
    // off the window's thread: the bar shows, the window answers, and 取消 (Esc)
    // leaves the preview as it was; without a cancel the cards come in when read.
    void shouldReadALongFileWithProgressAndLetItBeCancelled()
    {
        ToolsRun run;
        run.write(QStringLiteral("a.vcf"), phoneFile());
        auto* page = run.show<ImportPage>(QStringLiteral("import"));
        page->progress()->showAfterMs = 0;
        page->addFiles({run.file(QStringLiteral("a.vcf"))});
        QTRY_VERIFY(!page->isReading());
        const QString slow = run.file(QStringLiteral("慢.vcf"));
        QCOMPARE(mkfifo(QFile::encodeName(slow).constData(), 0600), 0);

        for (const bool cancel : {true, false}) {
            // Open for both ends: the reader's open never blocks, its read waits for the card.
            const int feed = ::open(QFile::encodeName(slow).constData(), O_RDWR);
            QVERIFY(feed >= 0);
            page->addFiles({slow});
            QVERIFY(page->isReading());
            QTRY_VERIFY(page->progress()->isVisible());
            QTRY_COMPARE(page->progress()->bar()->value(), 1);  // a.vcf read, 慢.vcf on its way
            QCOMPARE(page->progress()->bar()->maximum(), 3);
            QVERIFY(!page->importButton()->isEnabled());
            QTest::keyClick(&run.window, Qt::Key_2, Qt::AltModifier);  // the window answers meanwhile
            QCOMPARE(run.window.tabs()->currentIndex(), 1);
            run.window.showPage(QStringLiteral("import"));
            if (cancel) {
                QTest::keyClick(page->progress()->cancelButton(), Qt::Key_Escape);
                QVERIFY(!page->isReading());
                QVERIFY(page->progress()->isHidden());
                QCOMPARE(page->files(), QStringList{run.file(QStringLiteral("a.vcf"))});
                QCOMPARE(page->model()->rowCount(), 3);
                QVERIFY(page->importButton()->isEnabled());
            }
            const QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:赵六\r\nEND:VCARD\r\n";
            QCOMPARE(::write(feed, card.constData(), size_t(card.size())), card.size());
            ::close(feed);
            // The dropped reading ends on its own; the other one fills the preview.
            QTRY_VERIFY(page->findChildren<PreviewReading*>().isEmpty());
            QCOMPARE(page->model()->rowCount(), cancel ? 3 : 4);
            QVERIFY(page->progress()->isHidden());
        }
        QCOMPARE(run.book.count(), 0);
        QCOMPARE(run.desktop.boxes.size(), 0);
    }

    // Files come chosen in the dialog or dropped on the window; the window shows 导入 with them.
    void shouldTakeFilesFromTheDialogAndFromADrop()
    {
        ToolsRun run;
        run.write(QStringLiteral("a.vcf"), phoneFile());
        run.write(QStringLiteral("b.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:赵六\r\nEND:VCARD\r\n");
        auto* page = run.show<ImportPage>(QStringLiteral("import"));
        run.desktop.openNames = {QStringList{run.file(QStringLiteral("a.vcf"))}};
        QTest::mouseClick(page->chooseButton(), Qt::LeftButton);
        QVERIFY(run.desktop.openFilters.value(0).contains(QStringLiteral("*.vcf")));
        QTRY_COMPARE(page->model()->rowCount(), 3);

        run.window.showPage(QStringLiteral("check"));
        QMimeData dropped;
        dropped.setUrls({QUrl::fromLocalFile(run.file(QStringLiteral("b.vcf")))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&run.window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&run.window, &drop);
        QVERIFY(drop.isAccepted());
        QTRY_COMPARE(page->model()->rowCount(), 4);
        QCOMPARE(run.window.tabs()->currentWidget(), page);
        QCOMPARE(run.book.count(), 0);
    }

    void shouldExportEveryContactAndAskBeforeReplacingAFile()
    {
        ToolsRun run;
        run.book.add({{QString(), QStringLiteral("张三"), QString(), QStringLiteral("110")},
                      {QString(), QStringLiteral("李四")}});
        auto* page = run.show<ExportPage>(QStringLiteral("export"));
        QCOMPARE(page->format()->count(), ExportFormats().size());
        page->format()->setCurrentIndex(page->format()->findData(QStringLiteral("csv")));
        const QString target = run.file(QStringLiteral("通讯录.csv"));
        page->file()->setText(target);
        QTest::mouseClick(page->exportButton(), Qt::LeftButton);
        QVERIFY(QFileInfo::exists(target));
        QVERIFY2(run.said().contains(QStringLiteral("已导出 2 个联系人")), qPrintable(run.said()));

        TestFolder::writeAll(target, "keep");
        run.desktop.boxAnswers = {Mb::IDNO};
        QVERIFY(!page->exportNow());
        QCOMPARE(TestFolder::readAll(target), QByteArray("keep"));

        // Choosing another format renames the file to its extension.
        page->format()->setCurrentIndex(page->format()->findData(QStringLiteral("vcf")));
        QCOMPARE(page->file()->text(), run.file(QStringLiteral("通讯录.vcf")));
    }

    void shouldFindAsOneTypesAndShowTheWholeRecord()
    {
        ToolsRun run;
        const QByteArray photo = smallJpeg();
        run.book.add({{QStringLiteral("同事"), QStringLiteral("张三丰"), QString(), QStringLiteral("13800138000"),
                       QString(), QStringLiteral("武当山"), QStringLiteral("太极"), photo},
                      {QString(), QStringLiteral("李四")},
                      {QString(), QStringLiteral("王五"), QString(), QStringLiteral("13900001111")}});
        {
            // A value an import kept beside 张三丰 (record 1) for want of room in 备注.
            RawBook raw(run.book.path);
            raw.execute("create table kept(rec integer not null, label text not null, value text not null)");
            raw.execute("insert into kept values(1, '邮箱', 'zs@wudang.cn')");
        }
        auto* page = run.show<FindPage>(QStringLiteral("find"));
        QCOMPARE(page->model()->rowCount(), 3);
        QCOMPARE(page->model()->data(page->model()->index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("李四"));

        const QList<std::pair<QString, QStringList>> searches{
            {QStringLiteral("zs"), {QStringLiteral("张三丰")}},
            {QStringLiteral("sanfeng"), {QStringLiteral("张三丰")}},
            {QStringLiteral("139"), {QStringLiteral("王五")}},
            {QStringLiteral("武当"), {QStringLiteral("张三丰")}},
            {QStringLiteral("无此人"), {}},
        };
        for (const auto& [typed, expected] : searches) {
            page->field()->setText(typed);
            QStringList found;
            for (int row = 0; row < page->model()->rowCount(); ++row)
                found << page->model()->data(page->model()->index(row, 1), Qt::DisplayRole).toString();
            QCOMPARE(found, expected);
        }

        page->field()->setText(QStringLiteral("zs"));
        page->table()->setFocus();
        QTest::keyClick(page->table(), Qt::Key_Down);
        QCOMPARE(page->shownTexts(), (QStringList{QStringLiteral("同事"), QStringLiteral("张三丰"), QString(),
                                                  QStringLiteral("13800138000"), QString(), QStringLiteral("武当山"),
                                                  QStringLiteral("太极")}));
        QCOMPARE(page->keptText(), QStringLiteral("邮箱:zs@wudang.cn"));
        QVERIFY(page->photo()->pixmap().width() > 0);
        QVERIFY(page->qrCode()->pixmap().width() >= 100);

        // An import elsewhere is found at once.
        run.book.add({{QString(), QStringLiteral("张思")}});
        emit run.window.session().bookChanged();
        QCOMPARE(page->model()->rowCount(), 2);

        // The count has room for the widest it showed: shown whole, and the field keeps its width.
        for (int i = 0; i < 10; ++i)
            run.book.add({{QString(), QStringLiteral("赵%1").arg(i)}});
        page->field()->clear();
        emit run.window.session().bookChanged();
        const auto laidOut = [&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            QVERIFY(page->count()->width() >= page->count()->sizeHint().width());
        };
        laidOut();
        QCOMPARE(page->count()->text(), QStringLiteral("14 个"));
        const int fieldWidth = page->field()->width();
        page->field()->setText(QStringLiteral("zs"));
        laidOut();
        QCOMPARE(page->count()->text(), QStringLiteral("2 个"));
        QCOMPARE(page->field()->width(), fieldWidth);
    }

    void shouldBackUpListAndRestoreKeepingTheCurrentBook()
    {
        ToolsRun run;
        run.book.add({{QString(), QStringLiteral("张三")}});
        auto* page = run.show<BackupPage>(QStringLiteral("backup"));
        QCOMPARE(page->table()->rowCount(), 0);
        QVERIFY(page->backUpNow());
        QCOMPARE(page->table()->rowCount(), 1);
        QCOMPARE(page->table()->item(0, 2)->text(), QStringLiteral("1 个"));

        run.book.add({{QString(), QStringLiteral("李四")}});
        run.desktop.boxes.clear();
        run.desktop.boxAnswers = {Mb::IDYES};
        page->table()->selectRow(0);
        QVERIFY(page->restoreSelected());
        QCOMPARE(names(run.book.texts()), QStringList{QStringLiteral("张三")});
        // The book before the restore is kept as a second backup, with both contacts.
        QCOMPARE(page->table()->rowCount(), 2);
        QStringList counts{page->table()->item(0, 2)->text(), page->table()->item(1, 2)->text()};
        counts.sort();
        QCOMPARE(counts, (QStringList{QStringLiteral("1 个"), QStringLiteral("2 个")}));
        QVERIFY2(run.said().contains(QStringLiteral("已从")), qPrintable(run.said()));
    }

    void shouldRefuseARestoreWhileAnotherProgramHoldsTheBook()
    {
        ToolsRun run;
        run.book.add({{QString(), QStringLiteral("张三")}});
        BackupBook(run.book.path, run.file(QStringLiteral("Kalvo-20240101-000000.mdb")));
        run.book.add({{QString(), QStringLiteral("李四")}});
        const BookHolder window(run.book.path);
        QVERIFY(window.held());
        const QByteArray before = run.book.bytes();

        auto* page = run.show<BackupPage>(QStringLiteral("backup"));
        run.desktop.boxAnswers = {Mb::IDYES};
        page->table()->selectRow(0);
        QVERIFY(!page->restoreSelected());
        QVERIFY2(run.said().contains(QStringLiteral("正被其他程序打开（tessaly，进程")), qPrintable(run.said()));
        QCOMPARE(run.book.bytes(), before);
        QCOMPARE(page->table()->rowCount(), 1);  // and no backup of the current book either
    }

    void shouldCheckTheBookAndItsFile()
    {
        ToolsRun run;
        run.book.add({{QString(), QStringLiteral("张三")}, {QString(), QStringLiteral("李四")}});
        QFile::setPermissions(run.book.path, QFile::ReadOwner | QFile::WriteOwner);
        auto* page = run.show<CheckPage>(QStringLiteral("check"));
        const QString shown = page->result()->toPlainText();
        for (const QString& line : {QStringLiteral("完整性检查：正常"), QStringLiteral("联系人：2 个"),
                                    QStringLiteral("权限：600（只有你能读写）")})
            QVERIFY2(shown.contains(line), qPrintable(shown));

        TestFolder::writeAll(run.book.path, QByteArray(4096, 'x'));
        QVERIFY(!page->check());
        QVERIFY2(run.said().contains(QStringLiteral("错误")), qPrintable(run.said()));
    }

    void shouldListBirthdaysExportThemAndSwitchTheReminder()
    {
        ToolsRun run;
        qputenv("XDG_CONFIG_HOME", run.book.folder.path().toUtf8());
        const auto restore = qScopeGuard([] { qunsetenv("XDG_CONFIG_HOME"); });
        const QString soon = QDate::currentDate().addDays(3).addYears(-30).toString(QStringLiteral("yyyy-MM-dd"));
        run.book.add(
            {{QString(), QStringLiteral("张三"), soon}, {QString(), QStringLiteral("李四"), QStringLiteral("不知道")}});
        auto* page = run.show<BirthdayPage>(QStringLiteral("birthdays"));
        QCOMPARE(page->upcoming()->rowCount(), 1);
        QCOMPARE(page->upcoming()->item(0, 3)->text(), QStringLiteral("张三"));
        QCOMPARE(page->unread()->rowCount(), 1);
        QCOMPARE(page->unread()->item(0, 1)->text(), QStringLiteral("李四"));
        if (!qEnvironmentVariableIsEmpty("TESSALY_SHOT"))
            page->window()->grab().save(qEnvironmentVariable("TESSALY_SHOT"));

        run.desktop.saveNames = {run.file(QStringLiteral("生日"))};
        QVERIFY(page->exportCalendar());
        QVERIFY(TestFolder::readAll(run.file(QStringLiteral("生日.ics"))).contains("BEGIN:VEVENT"));

        QVERIFY(!page->reminder()->isChecked());
        page->reminder()->click();
        QVERIFY(QFileInfo::exists(BirthdayAutostartPath()));
        page->reminder()->click();
        QVERIFY(!QFileInfo::exists(BirthdayAutostartPath()));
        QVERIFY(!page->reminder()->isChecked());
    }

    void shouldOpenTheWindowOnlyAfterTheLoginPassword()
    {
        ToolsRun run;
        TADOConnection connection(QStringLiteral("通讯录"));
        OpenBookConnection(connection, run.book.path);
        TForm_mm login(connection, &run.window);
        QSignalSpy finished(&login, &QDialog::finished);
        login.open();
        login.MaskEdit1->setText(QStringLiteral("123"));
        QTest::mouseClick(login.BitBtn1, Qt::LeftButton);
        QVERIFY(!run.window.isVisible());
        QCOMPARE(run.desktop.boxTexts(), QStringList{QStringLiteral("密码不对")});
        login.MaskEdit1->setText(QStringLiteral("480917"));
        QTest::mouseClick(login.BitBtn1, Qt::LeftButton);
        QVERIFY(run.window.isVisible());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toInt(), int(QDialog::Accepted));
    }

    void shouldReachEveryPageByKeyboardAndFitTheSmallScreen()
    {
        ToolsRun run;
        run.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&run.window));
        QCOMPARE(run.window.windowTitle(), QStringLiteral("Tessaly 通讯录工具"));
        QVERIFY(run.window.width() <= 1024 && run.window.height() <= 768 - 60);
        for (int i = 0; i < ToolPages().size(); ++i) {
            QTest::keyClick(&run.window, Qt::Key(Qt::Key_1 + i), Qt::AltModifier);
            QCOMPARE(run.window.tabs()->currentIndex(), i);
            QCOMPARE(run.window.tabs()->tabText(i), ToolPages()[i].title);
            const QSize needed = run.window.tabs()->currentWidget()->minimumSizeHint();
            QVERIFY2(needed.width() <= run.window.width() && needed.height() <= run.window.height(),
                     qPrintable(ToolPages()[i].key
                                + QStringLiteral(" %1x%2 in %3x%4")
                                      .arg(needed.width())
                                      .arg(needed.height())
                                      .arg(run.window.width())
                                      .arg(run.window.height())));
        }
    }

    // Tab walks each page in the order it shows its controls, and out of its tables.
    void shouldTabThroughEachPageInTheOrderItShows()
    {
        ToolsRun run;
        run.write(QStringLiteral("a.vcf"), phoneFile());
        run.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&run.window));
        run.window.previewFiles({run.file(QStringLiteral("a.vcf"))});
        QTRY_VERIFY(!static_cast<ImportPage*>(run.window.page(QStringLiteral("import")))->isReading());
        // What has the focus, in words: a button's text, else its kind.
        const auto said = [](QWidget* widget) {
            if (auto* button = qobject_cast<QAbstractButton*>(widget))
                return button->text();
            return QString::fromLatin1(widget ? widget->metaObject()->className() : "nothing");
        };
        const auto focused = [&] { return said(QApplication::focusWidget()); };
        const QString table = QStringLiteral("QTableView");
        const QString cells = QStringLiteral("QTableWidget");
        const QString line = QStringLiteral("QLineEdit");
        const QList<std::pair<QString, QStringList>> walks{
            {QStringLiteral("import"),
             {QStringLiteral("选择文件(&O)…"), QStringLiteral("清空(&L)"), table, QStringLiteral("全选(&A)"),
              QStringLiteral("全不选(&N)"), QStringLiteral("导入(&I)")}},
            {QStringLiteral("find"), {line, table, line, line}},
            {QStringLiteral("birthdays"),
             {QStringLiteral("QSpinBox"), QStringLiteral("导出生日日历(&E)…"), cells, cells}},
            {QStringLiteral("backup"),
             {QStringLiteral("立即备份(&B)"), QStringLiteral("刷新(&U)"), cells}},  // 恢复 waits for a backup
            {QStringLiteral("duplicates"), {QStringLiteral("QListWidget"), QStringLiteral("重新查找(&R)"), cells}},
        };
        for (const auto& [key, expected] : walks) {
            run.window.showPage(key);
            for (QWidget* widget : run.window.page(key)->findChildren<QWidget*>())
                if (said(widget) == expected.first()) {
                    widget->setFocus();
                    break;
                }
            QStringList walked{focused()};
            while (walked.size() < expected.size()) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                walked << focused();
            }
            QCOMPARE(walked, expected);
        }
    }

    void shouldTakeTheToolsRequestFromTheArguments()
    {
        const QString book = QStringLiteral("/b/Kalvo.mdb");
        const QString db = QStringLiteral("--db=") + book;
        const auto request = [&](const QStringList& arguments) { return ToolsRequestFor(QStringList{db} + arguments); };
        QCOMPARE(request({QStringLiteral("--gui")})->page, QString());
        QCOMPARE(request({QStringLiteral("--gui")})->book, book);
        QCOMPARE(request({QStringLiteral("--gui"), QStringLiteral("a.vcf"), QStringLiteral("b.csv")})->files,
                 (QStringList{QStringLiteral("a.vcf"), QStringLiteral("b.csv")}));
        QCOMPARE(request({QStringLiteral("--gui"), QStringLiteral("--page"), QStringLiteral("export")})->page,
                 QStringLiteral("export"));
        QVERIFY(!request({QStringLiteral("--gui"), QStringLiteral("import"), QStringLiteral("a.vcf")}));
        QVERIFY(!request({QStringLiteral("list")}));
        QVERIFY_THROWS_EXCEPTION(UsageError, request({QStringLiteral("--gui"), QStringLiteral("--page=nope")}));
    }
};

QTEST_MAIN(ToolsPagesTest)
#include "test_tools_pages.moc"
