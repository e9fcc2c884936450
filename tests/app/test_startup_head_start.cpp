// The start with the book's head start running, as the program starts: every
// box, its text and its moment, the count, the login and the book's bytes are
// what the same start shows and stores without it.

#include "app/Startup.h"
#include "forms/MaskEdit.h"
#include "forms/Unit_main.h"
#include "forms/Unit_mm.h"
#include "platform/AppPaths.h"
#include "store/BookHeadStart.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "tests/support/ContactBook.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/ThreadsEnded.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// What one start showed until the login window closed.
struct Start {
    QStringList boxesBeforeLogin;
    QString count;
    bool bookUnchangedBeforeLogin = false;
    bool loggedIn = false;
    QStringList boxes;
};

}  // namespace

class StartupHeadStartTest : public QObject, private ProgramFolderFixture {
    Q_OBJECT

    // The folder as the case finds it before the program starts.
    void prepare(const QString& kind)
    {
        const QString path = folder->databasePath();
        if (kind == QLatin1String("directory named Kalvo.mdb"))
            QVERIFY(QDir(folder->path()).mkdir(QStringLiteral("Kalvo.mdb")));
        if (kind == QLatin1String("book without the contact table"))
            QVERIFY(CreateJetDatabase(path, ContactSchema::DatabasePassword()));
        if (kind == QLatin1String("first run"))
            return;
        if (kind.startsWith(QLatin1String("later run")) || kind == QLatin1String("damaged book")) {
            ApplicationWindows first;
            Form_main->ADOQuery1.AppendRecord({QStringLiteral("同学"), QStringLiteral("张三")});
            Form_main->ADOQuery1.AppendRecord({QStringLiteral("同事"), QStringLiteral("李四")});
        }
        if (kind == QLatin1String("damaged book"))
            QVERIFY(QFile::resize(path, 1536));
    }

    // Starts the windows on the case's folder, with or without the head start,
    // and logs in with the factory password.
    Start start(const QString& kind, bool headStart)
    {
        prepare(kind);
        const QString path = folder->databasePath();
        const int threads = RunningThreads();
        const std::unique_ptr<BookHeadStart> early = headStart ? StartOpeningBook() : nullptr;
        if (kind == QLatin1String("later run, a record added meanwhile")) {
            // After the head start has counted, as another copy would.
            [&] { QVERIFY(ThreadsEndedSince(threads)); }();
            SecondCopy(path).execute(QStringLiteral("insert into rem(姓名) values('王五')"));
        }
        const QByteArray before = TestFolder::readAll(path);
        Start seen;
        ApplicationWindows windows;
        seen.boxesBeforeLogin = desk->boxTexts();
        seen.count = Form_main->PanelText(1);
        seen.bookUnchangedBeforeLogin = TestFolder::readAll(path) == before;
        QTimer::singleShot(0, qApp, [] {
            Form_mm->MaskEdit1->setText(QStringLiteral("480917"));
            QTest::mouseClick(Form_mm->BitBtn1, Qt::LeftButton);
            if (Form_mm->isVisible())
                Form_mm->close();
        });
        seen.loggedIn = windows.ShowLogin();
        seen.boxes = desk->boxTexts();
        return seen;
    }

private slots:
    void init() { openProgramFolder(); }
    void cleanup()
    {
        QVERIFY(!Form_main);
        QVERIFY(!Form_mm);
        closeProgramFolder();
    }

    void shouldFindTheBookBeforeTheApplicationObjectAsAfterIt()
    {
        QVERIFY(!ExecutablePathFromSystem().isEmpty());
        QCOMPARE(ExecutablePathFromSystem(), QCoreApplication::applicationFilePath());
    }

    void shouldShowAndStoreWhatTheStartWithoutItDoes_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("count");
        QTest::newRow("first run") << "first run"
                                   << "总人数0";
        QTest::newRow("later run") << "later run"
                                   << "总人数2";
        QTest::newRow("record added meanwhile") << "later run, a record added meanwhile"
                                                << "总人数3";
        QTest::newRow("damaged book") << "damaged book"
                                      << "";
        QTest::newRow("book without the contact table") << "book without the contact table"
                                                        << "";
        QTest::newRow("directory named Kalvo.mdb") << "directory named Kalvo.mdb"
                                                   << "";
    }
    void shouldShowAndStoreWhatTheStartWithoutItDoes()
    {
        QFETCH(QString, kind);
        QFETCH(QString, count);
        const Start without = start(kind, false);
        closeProgramFolder();
        openProgramFolder();
        const Start with = start(kind, true);
        QCOMPARE(with.count, count);
        QCOMPARE(with.count, without.count);
        QCOMPARE(with.boxesBeforeLogin, without.boxesBeforeLogin);
        QCOMPARE(with.boxes, without.boxes);
        QCOMPARE(with.loggedIn, without.loggedIn);
        QCOMPARE(with.bookUnchangedBeforeLogin, without.bookUnchangedBeforeLogin);
    }
};

QTEST_MAIN(StartupHeadStartTest)
#include "test_startup_head_start.moc"
