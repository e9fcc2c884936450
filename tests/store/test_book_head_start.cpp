// The head start on opening the book: taken over, it leaves the connection and
// the contact query as the usual opening does; in every other case the opening
// gets nothing from it and opens as usual, and the book is only ever read.

#include "store/BookHeadStart.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "store/SqliteHandle.h"
#include "tests/support/ContactBook.h"
#include "tests/support/ThreadsEnded.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <optional>

namespace {

const QString& Key = ContactSchema::DatabasePassword();
const QString& Table = ContactSchema::ContactTable();

// The main window's connection and contact query.
struct Opening {
    Opening()
    {
        query.Connection = &connection;
        query.DeferFetch = true;
    }
    TADOConnection connection;
    TADOQuery query;
};

// A book of count contacts named name, closed.
void makeBook(ContactBook& book, int count, const QString& name)
{
    book.fill(count, name);
    book.query.Close();
    book.connection.Close();
}

enum Case {
    AnotherFile,
    AnotherPassword,
    AnotherTable,
    MissingFile,
    DamagedFile,
    AnotherKey,
    JournalBeside,
    LockedByAnotherCopy,
    ChangedMeanwhile,
    ReplacedMeanwhile
};

}  // namespace

class BookHeadStartTest : public QObject {
    Q_OBJECT
private slots:
    void shouldHandOverItsConnectionAndCount()
    {
        // The handle moves from the head start's thread to the opening's.
        QVERIFY(sqlite3_threadsafe() != 0);
        ContactBook book;
        makeBook(book, 3, QStringLiteral("张三"));
        const QString path = book.folder.databasePath();
        const QStringList entries = QDir(book.folder.path()).entryList(QDir::Files | QDir::Hidden);
        const QByteArray before = TestFolder::readAll(path);

        BookHeadStart headStart(path, Key, Table);
        Opening taken;
        QVERIFY(OpenFromHeadStart(taken.connection, taken.query, path, Key, Table));
        QCOMPARE(taken.query.RecordCount(), 3);
        QCOMPARE(TestFolder::readAll(path), before);
        QCOMPARE(QDir(book.folder.path()).entryList(QDir::Files | QDir::Hidden), entries);

        Opening usual;
        QVERIFY(OpenJetDatabase(usual.connection, path, Key) && OpenTable(usual.query, Table));
        QCOMPARE(taken.connection.ConnectionString, usual.connection.ConnectionString);
        QCOMPARE(taken.query.SQL, usual.query.SQL);
        QCOMPARE(taken.query.FieldCount(), usual.query.FieldCount());
        QCOMPARE(taken.query.FieldByName(ContactTextColumn(ContactText::Name))->AsString().trimmed(),
                 QStringLiteral("张三"));
        taken.query.AppendRecord({QStringLiteral("同学"), QStringLiteral("李四")});
        QCOMPARE(SecondCopy(path).column(QStringLiteral("select count(*) from rem")), QStringList{QStringLiteral("4")});

        // Once only.
        Opening again;
        QVERIFY(!headStart.TakeOver(again.connection, again.query, path, Key, Table));
        QVERIFY(!again.connection.Connected());
    }

    void shouldGiveNothingWithoutOne()
    {
        ContactBook book;
        Opening opening;
        QVERIFY(!OpenFromHeadStart(opening.connection, opening.query, book.folder.databasePath(), Key, Table));
        QVERIFY(!opening.connection.Connected());
    }

    void shouldLeaveTheOpeningToTheUsualWay_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("usualCount");  // -1: the usual opening fails too
        QTest::newRow("head start for another file") << int(AnotherFile) << 3;
        QTest::newRow("head start with another password") << int(AnotherPassword) << 3;
        QTest::newRow("head start for another table") << int(AnotherTable) << 3;
        QTest::newRow("file missing at the start, there later") << int(MissingFile) << 3;
        QTest::newRow("damaged file") << int(DamagedFile) << -1;
        QTest::newRow("book with another key") << int(AnotherKey) << -1;
        QTest::newRow("journal beside the book") << int(JournalBeside) << 3;
        QTest::newRow("book locked by another copy writing") << int(LockedByAnotherCopy) << 3;
        QTest::newRow("record added meanwhile by another copy") << int(ChangedMeanwhile) << 4;
        QTest::newRow("another book put in its place meanwhile") << int(ReplacedMeanwhile) << 5;
    }
    void shouldLeaveTheOpeningToTheUsualWay()
    {
        QFETCH(int, kind);
        QFETCH(int, usualCount);
        ContactBook book;
        makeBook(book, 3, QStringLiteral("张三"));
        const QString path = book.folder.databasePath();
        const QString away = book.folder.file(QStringLiteral("别处.mdb"));
        QString early = path;
        QString earlyKey = Key;
        QString earlyTable = Table;
        switch (kind) {
        case AnotherFile: QVERIFY(QFile::copy(path, early = away)); break;
        case AnotherPassword: earlyKey = QStringLiteral("tavmeri2"); break;
        case AnotherTable: earlyTable = QStringLiteral("sqlite_master"); break;
        case MissingFile: QVERIFY(QFile::rename(path, away)); break;
        case DamagedFile: QVERIFY(QFile::resize(path, 1536)); break;
        case AnotherKey:
            QVERIFY(QFile::remove(path));
            QVERIFY(CreateJetDatabase(path, QStringLiteral("someone else"), {ContactSchema::CreateContactTable()}));
            break;
        case JournalBeside: TestFolder::writeAll(path + QStringLiteral("-journal"), QByteArray()); break;
        default: break;
        }
        QByteArray before = TestFolder::readAll(path);

        std::optional<SecondCopy> writing;
        if (kind == LockedByAnotherCopy) {
            writing.emplace(path);
            writing->execute(QStringLiteral("begin exclusive"));
        }
        const int threads = RunningThreads();
        BookHeadStart headStart(early, earlyKey, earlyTable);
        QVERIFY(ThreadsEndedSince(threads));
        writing.reset();
        QCOMPARE(TestFolder::readAll(path), before);  // it only read
        if (kind == MissingFile)
            QVERIFY(QFile::rename(away, path));
        if (kind == ChangedMeanwhile)
            SecondCopy(path).execute(QStringLiteral("insert into rem(姓名) values('李四')"));
        if (kind == ReplacedMeanwhile) {
            ContactBook other;
            makeBook(other, 5, QStringLiteral("王五"));
            QVERIFY(QFile::copy(other.folder.databasePath(), away));
            QCOMPARE(std::rename(QFile::encodeName(away).constData(), QFile::encodeName(path).constData()), 0);
        }
        before = TestFolder::readAll(path);

        Opening taken;
        QVERIFY(!OpenFromHeadStart(taken.connection, taken.query, path, Key, Table));
        QVERIFY(!taken.connection.Connected());
        QVERIFY(!taken.query.Active());
        QCOMPARE(TestFolder::readAll(path), before);

        Opening usual;
        const bool opened = OpenJetDatabase(usual.connection, path, Key) && OpenTable(usual.query, Table);
        QCOMPARE(opened ? usual.query.RecordCount() : -1, usualCount);
    }
};

QTEST_GUILESS_MAIN(BookHeadStartTest)
#include "test_book_head_start.moc"
