// The four database helpers: creation, opening, scripts grouped by "create" lines, reopening a table.

#include "store/AdoxCatalog.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "tests/support/ContactBook.h"
#include "tests/support/RawBook.h"

#include <QDir>
#include <QProcess>
#include <atomic>
#include <fcntl.h>
#include <latch>
#include <sys/stat.h>
#include <thread>

class DbHelpersTest : public QObject {
    Q_OBJECT

    // Statements the script left in the file, as SQLite keeps their text (it capitalises "CREATE TABLE").
    static QStringList createdTables(const QString& path)
    {
        SecondCopy other(path);
        return other.column(QStringLiteral("select sql from sqlite_master where type = 'table' order by rowid"));
    }

private slots:
    void shouldOpenWithTheTemplateTextAndNoPrompt()
    {
        TestFolder folder;
        const QString path = folder.databasePath();
        QVERIFY(CreateJetDatabase(path, ContactSchema::DatabasePassword()));
        TADOConnection connection;
        QVERIFY(!OpenJetDatabase(connection, path, QStringLiteral("wrong")));
        QVERIFY(!connection.LoginPrompt);
        QCOMPARE(connection.ConnectionString,
                 QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info = False;Mode = ReadWrite;"
                                "Data Source=%1;Jet OLEDB:Database Password=wrong")
                     .arg(path));
        QVERIFY(!connection.Connected());
        QVERIFY(OpenJetDatabase(connection, path, ContactSchema::DatabasePassword()));
        QVERIFY(connection.Connected());
        QCOMPARE(connection.DataSource(), path);
    }

    void shouldGroupScriptLinesIntoStatements_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("tables");
        QTest::addColumn<QStringList>("textLeft");

        QTest::newRow("empty list") << QStringList{} << true << QStringList{} << QStringList{};
        QTest::newRow("blank lines only") << QStringList{"", "  ", "\t\r"} << true << QStringList{} << QStringList{};
        QTest::newRow("two creates, capitals behind blanks")
            << QStringList{"create table a(x)", "", "  CREATE TABLE Bb(Yy)"} << true
            << QStringList{"CREATE TABLE a(x)", "CREATE TABLE Bb(Yy)"} << QStringList{};
        QTest::newRow("one create over three lines")
            << QStringList{"create table c(", "  x char(5),", "y char(5))  "} << true
            << QStringList{"CREATE TABLE c(\nx char(5),\ny char(5))"} << QStringList{};
        QTest::newRow("a longer word that begins with create")
            << QStringList{"create table d(x)", "createx"} << false << QStringList{"CREATE TABLE d(x)"}
            << QStringList{"createx"};
        QTest::newRow("first line not a create runs alone and stops the script")
            << QStringList{"drop table nothing", "create table e(x)"} << false << QStringList{}
            << QStringList{"drop table nothing"};
        QTest::newRow("a line after a create joins it")
            << QStringList{"create table f(x)", "garbage", "create table g(x)"} << false << QStringList{}
            << QStringList{"create table f(x)", "garbage"};
        QTest::newRow("stops at the first failure")
            << QStringList{"create table h(x)", "create table h(x)", "create table i(x)"} << false
            << QStringList{"CREATE TABLE h(x)"} << QStringList{"create table h(x)"};
    }

    void shouldGroupScriptLinesIntoStatements()
    {
        QFETCH(QStringList, lines);
        QFETCH(bool, result);
        QFETCH(QStringList, tables);
        QFETCH(QStringList, textLeft);
        TestFolder folder;
        const QString path = folder.databasePath();
        QVERIFY(CreateJetDatabase(path, ContactSchema::DatabasePassword()));
        TADOConnection connection;
        QVERIFY(OpenJetDatabase(connection, path, ContactSchema::DatabasePassword()));
        TADOQuery query;
        query.Connection = &connection;
        query.SQL = QStringList{QStringLiteral("select 1")};
        query.Open();

        QCOMPARE(RunSqlScript(query, lines), result);
        QVERIFY(!query.Active());
        QCOMPARE(query.SQL, textLeft);
        QCOMPARE(createdTables(path), tables);
    }

    void shouldReopenTableOnFreshResult()
    {
        ContactBook db;
        db.addNames({QStringLiteral("张三"), QStringLiteral("李四")});
        SecondCopy other(db.folder.databasePath());
        other.execute(QStringLiteral("insert into rem(姓名) values('王五')"));
        QVERIFY(OpenTable(db.query, ContactSchema::ContactTable()));
        QVERIFY(OpenTable(db.query, ContactSchema::ContactTable()));
        QVERIFY(db.query.Active());
        QCOMPARE(db.query.SQL, QStringList{"select * from rem"});
        QCOMPARE(db.query.RecordCount(), 3);
        QCOMPARE(db.query.RecNo(), 1);
        QCOMPARE(db.name(), QStringLiteral("张三"));
    }

    void shouldLeaveQueryClosedOnMissingTableOrConnection()
    {
        ContactBook db;
        QVERIFY(!OpenTable(db.query, ContactSchema::PasswordTable()));
        QVERIFY(!db.query.Active());
        QCOMPARE(db.query.SQL, QStringList{"select * from pass"});

        TADOConnection unopened;
        TADOQuery query;
        query.Connection = &unopened;
        QVERIFY(!OpenTable(query, ContactSchema::ContactTable()));
        TADOQuery unbound;
        QVERIFY(!OpenTable(unbound, ContactSchema::ContactTable()));
        QVERIFY(!RunSqlScript(unbound, {ContactSchema::CreateContactTable()}));
    }

    void shouldCreateOnlyWhereNothingIs()
    {
        TestFolder folder;
        QVERIFY(CreateJetDatabase(folder.databasePath(), ContactSchema::DatabasePassword()));
        QVERIFY(!CreateJetDatabase(folder.databasePath(), ContactSchema::DatabasePassword()));
        QVERIFY(
            !CreateJetDatabase(folder.file(QStringLiteral("no/such/folder.mdb")), ContactSchema::DatabasePassword()));
        QVERIFY(!QFileInfo::exists(folder.file(QStringLiteral("no"))));
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("Kalvo.mdb")});
    }

    // Two copies started together on an empty folder both find no book and both create it.
    void shouldLetExactlyOneOfTwoRacingCreatesWin()
    {
        for (int round = 0; round < 8; ++round) {
            TestFolder folder;
            const QString path = folder.databasePath();
            std::atomic<int> created{0};
            std::atomic<int> waiting{0};
            std::atomic<bool> go{false};
            const auto copy = [&] {
                ++waiting;
                while (!go.load())  // spinning, so both leave within a moment of each other
                    ;
                if (CreateJetDatabase(path, ContactSchema::DatabasePassword()))
                    ++created;
            };
            std::thread a(copy);
            std::thread b(copy);
            while (waiting.load() < 2)
                std::this_thread::yield();
            go = true;
            a.join();
            b.join();
            QCOMPARE(created.load(), 1);
            QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList{QStringLiteral("Kalvo.mdb")});
            TADOConnection connection;
            QVERIFY(OpenJetDatabase(connection, path, ContactSchema::DatabasePassword()));
        }
    }

    // The book's name stays free until the book is whole, so no copy ever opens
    // a half-made one; a file another copy puts there meanwhile is left alone.
    void shouldLeaveTheNameFreeUntilTheBookIsWhole()
    {
        bool landed = false;
        for (int attempt = 0; attempt < 5 && !landed; ++attempt) {
            TestFolder folder;
            const QString path = folder.databasePath();
            const QDir dir(folder.path());
            const auto entries = [&] { return dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); };
            std::atomic<bool> done{false};
            bool created = false;
            std::thread creating([&] {
                created = CreateJetDatabase(path, ContactSchema::DatabasePassword());
                done = true;
            });
            while (entries().isEmpty() && !done)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            const bool finished = done;
            const bool nameFree = !QFileInfo::exists(path);
            QFile other(path);
            const QByteArray theirs("another copy's book");
            landed = nameFree && !finished && other.open(QIODevice::NewOnly | QIODevice::WriteOnly)
                     && other.write(theirs) == theirs.size();
            other.close();
            creating.join();
            QVERIFY2(nameFree || finished, "the name was taken before the book was made");
            QCOMPARE(entries(), QStringList{QStringLiteral("Kalvo.mdb")});
            if (landed) {
                QVERIFY(!created);
                QCOMPARE(TestFolder::readAll(path), theirs);
            } else {
                QVERIFY(created);  // it was done before we looked: a whole book
                TADOConnection connection;
                QVERIFY(OpenJetDatabase(connection, path, ContactSchema::DatabasePassword()));
            }
        }
        QVERIFY2(landed, "never placed a file while the book was being made");
    }

    // The book takes its name only with its tables; a statement that fails leaves nothing behind.
    void shouldMakeTheTablesBeforeTheBookTakesItsName()
    {
        TestFolder folder;
        const QString path = folder.databasePath();
        QVERIFY(!CreateJetDatabase(path, ContactSchema::DatabasePassword(), {QStringLiteral("create tabel rem(x)")}));
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{});
        QVERIFY(CreateJetDatabase(path, ContactSchema::DatabasePassword(), {ContactSchema::CreateContactTable()}));
        QCOMPARE(createdTables(path),
                 QStringList{QStringLiteral("CREATE TABLE") + ContactSchema::CreateContactTable().mid(12)});
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("Kalvo.mdb")});
    }

    // Only the hidden files a creation makes, and only once plainly abandoned.
    void shouldRemoveOnlyAbandonedCreations()
    {
        struct Entry {
            const char* name;
            int ageSeconds;
            bool held;
            bool removed;
        };
        const Entry entries[] = {
            {".Kalvo.mdb-00112233445566ff.new", 120, false, true},
            {".Kalvo.mdb-00112233445566ff.new-journal", 120, false, true},
            {".Kalvo.mdb-a0112233445566ff.new", 20, false, false},   // a creation at work
            {".Kalvo.mdb-b0112233445566ff.new", 3600, true, false},  // a stopped one still holds it
            {".Kalvo.mdb-00112233445566FF.new", 120, false, false},
            {".Kalvo.mdb-0011223344556.new", 120, false, false},
            {".Kalvo.mdb-00112233445566ff.new.bak", 120, false, false},
            {".Kalvo.mdb-00112233445566ff.new-wal", 120, false, false},
            {"Kalvo.mdb-00112233445566ff.new", 120, false, false},
            {".Other.mdb-00112233445566ff.new", 120, false, false},
            {"Kalvo.mdb-journal", 120, false, false},
            {"Kalvo.mdb", 120, false, false},
        };
        TestFolder folder;
        const auto age = [](const QString& path, int seconds) {
            const timespec times[2] = {{time(nullptr) - seconds, 0}, {time(nullptr) - seconds, 0}};
            QCOMPARE(utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
        };
        QProcess holder;
        for (const Entry& entry : entries) {
            const QString path = folder.file(QString::fromLatin1(entry.name));
            TestFolder::writeAll(path, "scratch");
            age(path, entry.ageSeconds);
            if (entry.held) {
                holder.setStandardInputFile(path);
                holder.start(QStringLiteral("sleep"), {QStringLiteral("30")});
                QVERIFY(holder.waitForStarted());
            }
        }
        // A link of the pattern's name is no file of ours, and neither is what it points to.
        const QString target = folder.file(QStringLiteral("target"));
        TestFolder::writeAll(target, "someone's");
        const QString link = folder.file(QStringLiteral(".Kalvo.mdb-c0112233445566ff.new"));
        QVERIFY(QFile::link(target, link));
        age(target, 120);
        age(link, 120);

        RemoveAbandonedCreations(folder.databasePath());
        holder.kill();
        holder.waitForFinished();
        for (const Entry& entry : entries)
            QVERIFY2(QFileInfo::exists(folder.file(QString::fromLatin1(entry.name))) != entry.removed, entry.name);
        QVERIFY(QFileInfo(link).isSymLink());
        QVERIFY(QFileInfo::exists(target));
    }

    // The key check is the first read: it waits for another copy's write like every later one.
    void shouldWaitForACopyThatIsWritingWhenOpening()
    {
        TestFolder folder;
        const QString path = folder.databasePath();
        QVERIFY(CreateJetDatabase(path, ContactSchema::DatabasePassword()));
        std::latch locked(2);
        std::thread writer([&] {
            RawBook other(path);
            other.execute("begin exclusive");
            locked.arrive_and_wait();
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            other.execute("create table pass(mm char(50)); commit");
        });
        locked.arrive_and_wait();
        TADOConnection connection;
        const bool opened = OpenJetDatabase(connection, path, ContactSchema::DatabasePassword());
        writer.join();
        QVERIFY(opened);
        TADOQuery pass;
        pass.Connection = &connection;
        QVERIFY(OpenTable(pass, QStringLiteral("pass")));
    }
};

QTEST_APPLESS_MAIN(DbHelpersTest)
#include "test_dbhelpers.moc"
