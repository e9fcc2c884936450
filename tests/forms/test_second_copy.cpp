// Two copies of the program on one book, each a real process: this test
// executable started again in a helper mode plays the other copy, with the
// real main window on the same folder.

#include "forms/MaskEdit.h"
#include "forms/Unit_mm.h"
#include "tests/forms/test_mainwindow_harness.h"
#include "tests/support/RawBook.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <cstdio>

namespace {

const char FirstRunMode[] = "--first-run-copy";
const char DeleteMode[] = "--deleting-copy";

// What a helper copy saw: its boxes, then its record count.
void Report(const ScriptedDesktop& desk, const TForm_main& form)
{
    std::printf("boxes:%s\ncount:%s\n", qPrintable(desk.boxTexts().join(u'|')), qPrintable(form.PanelText(1)));
    std::fflush(stdout);
}

// A first run in an empty folder that starts when the go file appears, so that
// two copies start within a moment of each other: both windows in start-up
// order, the factory password, then one contact added.
int RunFirstRunCopy(const QString& folder, const QString& name, const QString& goFile)
{
    OverrideExecutablePathForTests(QDir(folder).filePath(QStringLiteral("tessaly")));
    ScriptedDesktop desk;
    std::printf("ready\n");
    std::fflush(stdout);
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(goFile)) {
        if (waited.elapsed() > 30000)
            return 3;
        QThread::usleep(100);
    }
    TForm_main form;
    Form_main = &form;
    TForm_mm login;
    Form_mm = &login;
    login.MaskEdit1->setText(QStringLiteral("480917"));
    login.BitBtn1->click();
    std::printf("logged in:%d\n", int(form.isVisible()));
    form.Edit1->setText(name);
    form.BitBtn1->click();
    Report(desk, form);
    Form_mm = nullptr;
    Form_main = nullptr;
    return 0;
}

// Opens the book in the folder and deletes its first record through 删除.
int RunDeletingCopy(const QString& folder)
{
    OverrideExecutablePathForTests(QDir(folder).filePath(QStringLiteral("tessaly")));
    ScriptedDesktop desk;
    desk.boxAnswers = {Mb::IDYES};
    TForm_main form;
    Form_main = &form;
    form.BitBtn5->click();
    Report(desk, form);
    Form_main = nullptr;
    return 0;
}

struct CopyResult {
    int exitCode = -1;
    QString output;
};

QString Program()
{
    return QCoreApplication::applicationFilePath();
}

CopyResult Finish(QProcess& copy)
{
    if (!copy.waitForFinished(60000))
        copy.kill();
    copy.waitForFinished();
    return {copy.exitStatus() == QProcess::NormalExit ? copy.exitCode() : -1,
            QString::fromUtf8(copy.readAllStandardOutput())};
}

}  // namespace

class SecondCopyTest : public QObject {
    Q_OBJECT
private slots:
    void shouldCreateTheBookOnceWhenTwoCopiesStartTogether()
    {
        for (int round = 0; round < 10; ++round) {
            TestFolder folder;
            const QString goFile = folder.file(QStringLiteral("go"));
            const QString book = QDir(folder.path()).filePath(QStringLiteral("book"));
            QVERIFY(QDir().mkpath(book));
            QProcess a;
            QProcess b;
            a.start(Program(), {FirstRunMode, book, QStringLiteral("甲"), goFile});
            b.start(Program(), {FirstRunMode, book, QStringLiteral("乙"), goFile});
            for (QProcess* copy : {&a, &b}) {
                while (!copy->canReadLine())
                    QVERIFY2(copy->waitForReadyRead(30000), "a copy never got ready");
                QCOMPARE(copy->readLine(), QByteArray("ready\n"));
            }
            TestFolder::writeAll(goFile, "go");
            const CopyResult first = Finish(a);
            const CopyResult second = Finish(b);
            for (const CopyResult& copy : {first, second}) {
                QCOMPARE(copy.exitCode, 0);
                QVERIFY2(copy.output.startsWith(QStringLiteral("logged in:1\nboxes:\n")), qPrintable(copy.output));
            }
            // One book, both contacts in it: neither copy replaced or removed the other's file.
            QCOMPARE(QDir(book).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList{QStringLiteral("Kalvo.mdb")});
            RawBook raw(QDir(book).filePath(QStringLiteral("Kalvo.mdb")));
            QCOMPARE(raw.integrityCheck(), QStringLiteral("ok"));
            QCOMPARE(raw.texts(QStringLiteral("select trim(姓名) from rem order by 姓名")),
                     (QStringList{QStringLiteral("乙"), QStringLiteral("甲")}));
            QCOMPARE(raw.texts(QStringLiteral("select trim(mm) from pass")), QStringList{QStringLiteral("NDgwOTE3")});
        }
    }

    void shouldRefuseToModifyWhatTheOtherCopyDeleted()
    {
        MainWindowHarness h;
        h.Add({"朋友", "张三", "", "13800001111", "", "", ""});
        h.Add({"同事", "李四", "", "", "", "", ""});
        h.ClickRow(0);

        QProcess other;
        other.start(Program(), {DeleteMode, h.folder.path()});
        const CopyResult deleted = Finish(other);
        QCOMPARE(deleted.exitCode, 0);
        QCOMPARE(deleted.output, QStringLiteral("boxes:真要删除这个记录吗？\ncount:总人数1\n"));

        h.w().Edit3->setText(QStringLiteral("010-1234"));
        h.desk.boxAnswers = {Mb::IDYES};
        h.Click(h.w().BitBtn2);
        QCOMPARE(h.desk.boxTexts(), (QStringList{QStringLiteral("确定要覆盖原来数据吗?"),
                                                 QStringLiteral("ADOQuery1: 记录已被其他程序修改或删除.")}));
        QCOMPARE(h.desk.boxes[1].type, Mb::OK | Mb::ICONSTOP);
        QCOMPARE(h.query().State(), TADOQuery::dsBrowse);
        QCOMPARE(h.w().Edit3->text(), QStringLiteral("010-1234"));  // the fields keep what was typed

        // Nothing came back to life, and the other record is as it was.
        RawBook raw(h.folder.databasePath());
        QCOMPARE(raw.texts(QStringLiteral("select trim(姓名) || '/' || ifnull(电话, '') from rem")),
                 QStringList{QStringLiteral("李四/")});
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 5 && args[1] == QLatin1String(FirstRunMode))
        return RunFirstRunCopy(args[2], args[3], args[4]);
    if (args.size() == 3 && args[1] == QLatin1String(DeleteMode))
        return RunDeletingCopy(args[2]);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    SecondCopyTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_second_copy.moc"
