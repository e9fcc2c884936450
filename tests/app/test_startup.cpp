#include "app/Startup.h"
#include "forms/MaskEdit.h"
#include "forms/Unit_main.h"
#include "forms/Unit_mm.h"
#include "platform/AppPaths.h"
#include "platform/Desktop.h"
#include "store/ADODB.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "tests/support/ContactBook.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/RawBook.h"
#include "tests/support/ScriptedDesktop.h"
#include "tests/support/TestFolder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace {
const QString ClosedQueryBox = QStringLiteral("ADOQuery1: 无法在关闭的数据集上执行该操作.");

// A book with both tables and a contact, keyed with the password given (none: a
// plain, unencrypted SQLite file); its size in bytes.
qint64 makeBook(const QString& path, const QString& password)
{
    TADOConnection connection;
    TADOQuery query;
    query.Connection = &connection;
    if (!CreateJetDatabase(path, password) || !OpenJetDatabase(connection, path, password)
        || !RunSqlScript(query, {ContactSchema::CreateContactTable(), ContactSchema::CreatePasswordTable()})
        || !OpenTable(query, ContactSchema::ContactTable()))
        return -1;
    query.AppendRecord({QStringLiteral("同学"), QStringLiteral("张三")});
    connection.Close();
    return QFileInfo(path).size();
}

// Acts on the login window once the modal run has started.
void whenLoginShown(std::function<void()> act)
{
    QTimer::singleShot(0, qApp, [act = std::move(act)] {
        QVERIFY(Form_mm && Form_mm->isVisible());
        act();
    });
}

// The whole run, ended with 99 should the message loop never finish.
int runTessalyWithWatchdog()
{
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, qApp, [] {
        if (Form_main)
            Form_main->close();
        QApplication::exit(99);
    });
    watchdog.start(20000);
    return RunTessaly();
}

void login(const QString& password)
{
    Form_mm->MaskEdit1->setText(password);
    QTest::mouseClick(Form_mm->BitBtn1, Qt::LeftButton);
}

void changePassword(const QString& old, const QString& newPassword)
{
    QTest::mouseClick(Form_mm->BitBtn3, Qt::LeftButton);
    Form_mm->MaskEdit1->setText(old);
    Form_mm->MaskEdit2->setText(newPassword);
    Form_mm->MaskEdit3->setText(newPassword);
    QTest::mouseClick(Form_mm->BitBtn2, Qt::LeftButton);
}
}  // namespace

class StartupTest : public QObject, private ProgramFolderFixture {
    Q_OBJECT
private slots:
    void init() { openProgramFolder(); }
    void cleanup()
    {
        QVERIFY(!Form_main);
        QVERIFY(!Form_mm);
        closeProgramFolder();
    }

    void shouldCreateEncryptedDatabaseOnFirstRun()
    {
        {
            ApplicationWindows windows;
            QVERIFY(desk->boxes.isEmpty());
            QCOMPARE(Form_main->PanelText(1), QStringLiteral("总人数0"));
            QVERIFY(!Form_main->isVisible());
        }
        const QByteArray bytes = TestFolder::readAll(folder->databasePath());
        QVERIFY(bytes.size() > 0);
        QVERIFY(!bytes.startsWith("SQLite format 3"));

        SecondCopy book(folder->databasePath());
        QCOMPARE(book.fieldNames(ContactSchema::ContactTable()), ContactTextColumns() + QStringList{PhotoColumn()});
        QCOMPARE(book.column(QStringLiteral("select count(*) from rem")), QStringList{QStringLiteral("0")});
        QCOMPARE(book.fieldNames(ContactSchema::PasswordTable()), QStringList{QStringLiteral("mm")});
        QCOMPARE(Trimmed(book.column(QStringLiteral("select mm from pass"))), QStringList{QStringLiteral("NDgwOTE3")});
    }

    // The count a start shows is the number the book keeps, which every program
    // writing rem keeps right; the grid's read after the login checks it, mends
    // the book's number and the status bar when it was wrong, and makes the
    // keeping in a book without it.
    void shouldShowTheKeptCountAndMendItAfterTheLogin_data()
    {
        QTest::addColumn<QString>("change");  // by another program, after a first login
        QTest::addColumn<QString>("shown");   // before the login
        QTest::addColumn<QString>("kept");    // by the book once the grid was read
        QTest::newRow("contacts added by a tool")
            << "insert into rem(姓名) values('李四'); insert into rem(姓名) values('王五')"
            << "总人数3"
            << "3";
        QTest::newRow("number changed by hand") << "update remcount set n = 7"
                                                << "总人数7"
                                                << "1";
        QTest::newRow("keeping dropped") << "drop table remcount"
                                         << "总人数1"
                                         << "1";
    }
    void shouldShowTheKeptCountAndMendItAfterTheLogin()
    {
        QFETCH(QString, change);
        QFETCH(QString, shown);
        QFETCH(QString, kept);
        const QString path = folder->databasePath();
        QVERIFY(makeBook(path, ContactSchema::DatabasePassword()) > 0);
        const auto keptNumber = [&path] {
            try {
                return RawBook(path).texts(QStringLiteral("select n from remcount"));
            } catch (const std::runtime_error&) {
                return QStringList();
            }
        };
        QCOMPARE(keptNumber(), QStringList());
        for (const bool changed : {false, true}) {
            if (changed)
                RawBook(path).execute(change.toUtf8().constData());
            ApplicationWindows windows;
            QCOMPARE(Form_main->PanelText(1), changed ? shown : QStringLiteral("总人数1"));
            whenLoginShown([] { login(QStringLiteral("480917")); });
            QVERIFY(windows.ShowLogin());
            const QString counted = changed ? kept : QStringLiteral("1");
            QTRY_COMPARE(keptNumber(), QStringList{counted});
            QCOMPARE(Form_main->PanelText(1), QStringLiteral("总人数") + counted);
        }
        QCOMPARE(RawBook(path).integrityCheck(), QStringLiteral("ok"));
    }

    void shouldChangeNothingOnLaterRun()
    {
        {
            ApplicationWindows first;
            Form_main->ADOQuery1.AppendRecord({QStringLiteral("同学"), QStringLiteral("张三")});
            Form_main->ADOQuery1.AppendRecord({QStringLiteral("同事"), QStringLiteral("李四")});
        }
        const QByteArray before = TestFolder::readAll(folder->databasePath());
        {
            ApplicationWindows second;
            QVERIFY(desk->boxes.isEmpty());
            QCOMPARE(Form_main->PanelText(1), QStringLiteral("总人数2"));
        }
        QCOMPARE(TestFolder::readAll(folder->databasePath()), before);
        QCOMPARE(QDir(folder->path()).entryList(QDir::Files), QStringList{QStringLiteral("Kalvo.mdb")});
    }

    void shouldShowClosedQueryBoxAndLeaveUnusableFileAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("directory named Kalvo.mdb") << "directory";
        QTest::newRow("another database password") << "password";
        QTest::newRow("not a database") << "garbage";
        QTest::newRow("cut inside its first page") << "cut 700";
        QTest::newRow("cut inside its second page") << "cut 1536";
        QTest::newRow("cut after its second page") << "cut 2048";
        QTest::newRow("plain unencrypted SQLite file") << "plain";
    }
    void shouldShowClosedQueryBoxAndLeaveUnusableFileAlone()
    {
        QFETCH(QString, kind);
        const QString path = folder->databasePath();
        if (kind == QLatin1String("directory"))
            QVERIFY(QDir(folder->path()).mkdir(QStringLiteral("Kalvo.mdb")));
        else if (kind == QLatin1String("password"))
            QVERIFY(CreateJetDatabase(path, QStringLiteral("someone else")));
        else if (kind == QLatin1String("plain"))
            QVERIFY(makeBook(path, QString()) > 0);
        else if (kind.startsWith(QLatin1String("cut "))) {
            const qint64 size = kind.mid(4).toLongLong();
            QVERIFY(makeBook(path, ContactSchema::DatabasePassword()) > size);
            QVERIFY(QFile::resize(path, size));
        } else
            TestFolder::writeAll(path, QByteArray("just some bytes, no database").repeated(100));
        const QByteArray before = TestFolder::readAll(path);
        QCOMPARE(before.startsWith("SQLite format 3"), kind == QLatin1String("plain"));
        const QStringList entriesBefore =
            QDir(folder->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        int exitCode = -1;
        whenLoginShown([] {
            // The password could not be read: nothing opens the book.
            login(QString());
            login(QStringLiteral("480917"));
            login(QStringLiteral("480917"));
        });
        exitCode = runTessalyWithWatchdog();

        QCOMPARE(exitCode, 0);
        QVERIFY(desk->boxes.size() >= 2);
        QCOMPARE(desk->boxes[0].text, ClosedQueryBox);
        QCOMPARE(desk->boxes[0].type, Mb::OK | Mb::ICONSTOP);
        QCOMPARE(desk->boxes[1].type, Mb::OK | Mb::ICONSTOP);  // the login window's own error
        QCOMPARE(desk->boxTexts().mid(2), QStringList(3, QStringLiteral("密码不对")));
        QCOMPARE(QFileInfo(path).isDir(), kind == QLatin1String("directory"));
        QCOMPARE(TestFolder::readAll(path), before);
        QCOMPARE(QDir(folder->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), entriesBefore);
    }

    void shouldGiveLoginItsTableInFileWithoutContactTable()
    {
        QVERIFY(CreateJetDatabase(folder->databasePath(), ContactSchema::DatabasePassword()));
        {
            ApplicationWindows windows;
            QCOMPARE(desk->boxTexts(), QStringList{ClosedQueryBox});
            QVERIFY(Form_main->PanelText(1).isEmpty());
            whenLoginShown([] { login(QStringLiteral("480917")); });
            QVERIFY(windows.ShowLogin());
            QVERIFY(Form_main->isVisible());
        }
        SecondCopy book(folder->databasePath());
        // An existing file is never given the contact table.
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, book.fieldNames(ContactSchema::ContactTable()));
        QCOMPARE(Trimmed(book.column(QStringLiteral("select mm from pass"))), QStringList{QStringLiteral("NDgwOTE3")});
    }

    void shouldRunUntilMainWindowIsClosed()
    {
        bool mainShown = false;
        whenLoginShown([&] {
            login(QStringLiteral("480917"));
            // Once the message loop runs, the user closes the main window.
            QTimer::singleShot(200, qApp, [&] {
                mainShown = Form_main && Form_main->isVisible() && !Form_mm->isVisible();
                Form_main->close();
            });
        });
        QCOMPARE(runTessalyWithWatchdog(), 0);
        QVERIFY(mainShown);
    }

    void shouldEndWithExitCodeZeroWithoutLogin_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("close box") << "close";
        QTest::newRow("three wrong passwords") << "wrong";
    }
    void shouldEndWithExitCodeZeroWithoutLogin()
    {
        QFETCH(QString, how);
        bool mainShownEver = false;
        whenLoginShown([&] {
            if (how == QLatin1String("close")) {
                Form_mm->close();
            } else {
                for (int i = 0; i < 3; ++i)
                    login(QStringLiteral("nope"));
            }
            mainShownEver = Form_main->isVisible();
        });
        QCOMPARE(runTessalyWithWatchdog(), 0);
        QVERIFY(!mainShownEver);
        QCOMPARE(desk->boxes.size(), how == QLatin1String("close") ? 0 : 3);
    }

    void shouldReadChangedPasswordOnNextStart()
    {
        {
            ApplicationWindows windows;
            whenLoginShown([] {
                changePassword(QStringLiteral("480917"), QStringLiteral("通讯录 2026"));
                Form_mm->close();
            });
            QVERIFY(!windows.ShowLogin());
        }
        QCOMPARE(desk->boxTexts(), QStringList{QStringLiteral("密码修改成功,请输入新密码登录")});
        desk->boxes.clear();
        ApplicationWindows windows;
        whenLoginShown([] {
            login(QStringLiteral("480917"));
            login(QStringLiteral("通讯录 2026"));
        });
        QVERIFY(windows.ShowLogin());
        QCOMPARE(desk->boxTexts(), QStringList{QStringLiteral("密码不对")});
    }

    void shouldMapSongtiToInstalledChineseFont()
    {
        const QString family = MapSongtiFont();
        QVERIFY(!family.isEmpty());
        QCOMPARE(MapSongtiFont(), family);  // a second call keeps the mapping
        QFont songti(QStringLiteral("宋体"));
        songti.setPixelSize(16);
        QCOMPARE(QFontInfo(songti).family(), family);
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
