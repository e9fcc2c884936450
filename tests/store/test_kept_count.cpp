// The contact count kept in the book: made after a real count, kept right by
// every program that writes rem (another copy, a tool on plain SQLCipher), never
// trusted once its table or triggers were changed, and never rebuilt from a
// count that another copy's write made stale.

#include "store/ContactSchema.h"
#include "store/KeptCount.h"
#include "store/SqliteHandle.h"
#include "tests/support/ContactBook.h"
#include "tests/support/RawBook.h"

#include <QFile>
#include <QFileInfo>
#include <optional>

class KeptCountTest : public QObject {
    Q_OBJECT

    // A book of three contacts whose count is kept, made as a login makes it.
    static void keepThree(ContactBook& book)
    {
        book.fill(3, QStringLiteral("张三"));
        sqlite3* db = book.connection.Handle();
        QCOMPARE(KeptContactCount(db), std::nullopt);
        QCOMPARE(CountForOpening(db, ContactSchema::ContactTable()), 3);
        ContactCountCheck check(db);
        QVERIFY(!check.Keep(3));  // none was kept: the opening counted
        QCOMPARE(KeptContactCount(db), 3);
    }

private slots:
    void shouldStayRightWhoeverWrites_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("insert") << "insert into rem(姓名) values('李四')";
        QTest::newRow("many inserts in one") << "insert into rem(姓名) select a.姓名 from rem as a, rem as b";
        QTest::newRow("delete one") << "delete from rem where rowid = 2";
        QTest::newRow("delete all") << "delete from rem";
        QTest::newRow("update") << "update rem set 姓名 = '王五'";
        QTest::newRow("undone") << "begin; insert into rem(姓名) values('李四'); delete from rem; rollback";
        QTest::newRow("insert or replace") << "insert or replace into rem(rowid, 姓名) values(2, '赵六')";
        QTest::newRow("insert or ignore") << "insert or ignore into rem(rowid, 姓名) values(2, '赵六'), (9, '赵六')";
    }
    void shouldStayRightWhoeverWrites()
    {
        QFETCH(QString, sql);
        for (const bool plainTool : {false, true}) {
            ContactBook book;
            keepThree(book);
            if (plainTool)
                RawBook(book.folder.databasePath()).execute(sql.toUtf8().constData());
            else
                SecondCopy(book.folder.databasePath()).execute(sql);
            sqlite3* db = book.connection.Handle();
            QCOMPARE(KeptContactCount(db), CountRecords(db, ContactSchema::ContactTable()));
        }
    }

    void shouldCountWhenTheKeepingWasChanged_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("numberStood");  // the changed keeping still looked whole
        QTest::newRow("number changed") << "update remcount set n = 7" << true;
        QTest::newRow("insert trigger dropped") << "drop trigger remcount_insert" << false;
        QTest::newRow("delete trigger dropped") << "drop trigger remcount_delete" << false;
        QTest::newRow("table dropped") << "drop table remcount" << false;
        QTest::newRow("two rows") << "insert into remcount values(3)" << false;
        QTest::newRow("no row") << "delete from remcount" << false;
        QTest::newRow("a text") << "update remcount set n = '3'" << false;
        QTest::newRow("below zero") << "update remcount set n = -1" << false;
        QTest::newRow("trigger made otherwise")
            << "drop trigger remcount_insert; create trigger remcount_insert after insert on rem begin "
               "update remcount set n = n + 2; end"
            << false;
    }
    void shouldCountWhenTheKeepingWasChanged()
    {
        QFETCH(QString, sql);
        QFETCH(bool, numberStood);
        ContactBook book;
        keepThree(book);
        RawBook(book.folder.databasePath()).execute(sql.toUtf8().constData());
        sqlite3* db = book.connection.Handle();
        QCOMPARE(CountForOpening(db, ContactSchema::ContactTable()), numberStood ? 7 : 3);
        ContactCountCheck check(db);
        QCOMPARE(check.Keep(3), numberStood);
        QCOMPARE(KeptContactCount(db), 3);
        book.connection.Execute(QStringLiteral("insert into rem(姓名) values('李四')"));
        QCOMPARE(KeptContactCount(db), 4);
        QCOMPARE(RawBook(book.folder.databasePath()).integrityCheck(), QStringLiteral("ok"));
    }

    void shouldFailOnABookCutShortAsTheCountWould()
    {
        // Kept from the first login on, so that its page lies before the cut.
        ContactBook book;
        ContactCountCheck check(book.connection.Handle());
        QVERIFY(!check.Keep(0));
        book.fill(3000, QStringLiteral("张三"));
        QCOMPARE(KeptContactCount(book.connection.Handle()), 3000);
        book.query.Close();
        book.connection.Close();
        const QString path = book.folder.databasePath();
        QVERIFY(QFile::resize(path, QFileInfo(path).size() / 2));
        // The opening of the window after the head start: the kept number or a count.
        for (const bool kept : {true, false}) {
            try {
                const SqliteHandle cut = OpenExistingWithKey(path, ContactSchema::DatabasePassword(), true);
                kept ? void(KeptContactCount(cut.get())) : void(CountRecords(cut.get(), ContactSchema::ContactTable()));
                QFAIL("a book cut short was read as whole");
            } catch (const SqliteFailure&) {
            }
        }
    }

    void shouldLeaveTheKeepingWhenAnotherCopyWroteOrHoldsTheBook_data()
    {
        QTest::addColumn<bool>("holding");
        QTest::newRow("another copy wrote after the read") << false;
        QTest::newRow("another copy is writing") << true;
    }
    void shouldLeaveTheKeepingWhenAnotherCopyWroteOrHoldsTheBook()
    {
        QFETCH(bool, holding);
        ContactBook book;
        book.fill(3, QStringLiteral("张三"));
        sqlite3* db = book.connection.Handle();
        ContactCountCheck check(db);  // the opening, before three contacts are read
        SecondCopy other(book.folder.databasePath());
        other.execute(QStringLiteral("insert into rem(姓名) values('李四')"));
        if (holding) {
            ContactCountCheck afterIt(db);
            other.execute(QStringLiteral("begin immediate"));
            QVERIFY(!afterIt.Keep(4));
            other.execute(QStringLiteral("rollback"));
        } else {
            QVERIFY(!check.Keep(3));
        }
        QCOMPARE(KeptContactCount(db), std::nullopt);
        QCOMPARE(other.column(QStringLiteral("select count(*) from sqlite_master where name = 'remcount'")),
                 QStringList{QStringLiteral("0")});
    }
};

QTEST_MAIN(KeptCountTest)
#include "test_kept_count.moc"
