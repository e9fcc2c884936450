// The tables the companion keeps beside rem: made exactly as books already
// hold them (a book made by an older copy must read the same), and the kept
// values added, handed on, replaced and read in the order they were kept.

#include "store/KeptValues.h"
#include "store/ListedRecords.h"
#include "tests/support/ContactBook.h"
#include "tests/support/RawBook.h"

class SideTablesTest : public QObject {
    Q_OBJECT

private slots:
    void shouldMakeTheTablesAsBooksHoldThem_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("sql");
        QTest::newRow("kept") << "kept"
                              << "CREATE TABLE kept(rec integer not null, label text not null, value text not null)";
        QTest::newRow("kept_rec") << "kept_rec"
                                  << "CREATE INDEX kept_rec on kept(rec)";
        QTest::newRow("kept_leaves_with_rem")
            << "kept_leaves_with_rem"
            << "CREATE TRIGGER kept_leaves_with_rem after delete on rem begin delete from kept where rec = "
               "old.rowid; end";
        QTest::newRow("listed") << "listed"
                                << "CREATE TABLE listed(rec integer primary key, digest text not null)";
        QTest::newRow("apart") << "apart"
                               << "CREATE TABLE apart(a integer not null, b integer not null, primary key(a, b))";
    }
    void shouldMakeTheTablesAsBooksHoldThem()
    {
        QFETCH(QString, name);
        QFETCH(QString, sql);
        ContactBook book;
        sqlite3* db = book.connection.Handle();
        for (int twice = 0; twice < 2; ++twice) {  // a second time finds them there
            EnsureKeptTable(db);
            StoreListed(db, {{1, "digest"}});
            StoreApart(db, 1, {2});
        }
        QCOMPARE(RawBook(book.folder.databasePath())
                     .texts(QStringLiteral("select sql from sqlite_master where name = '%1'").arg(name)),
                 QStringList{sql});
    }

    void shouldKeepHandOnAndReplaceInOrder()
    {
        ContactBook book;
        book.fill(3, QStringLiteral("张三"));
        sqlite3* db = book.connection.Handle();
        QCOMPARE(ReadKept(db), QList<KeptValue>());  // no table yet
        EnsureKeptTable(db);
        AddKept(db, {{3, "邮箱", "c@x.cn"}, {1, "网址", "a.cn"}, {3, "电话", "139"}});
        AddKept(db, {{2, "邮箱", "b@x.cn"}});
        QCOMPARE(
            ReadKept(db),
            (QList<KeptValue>{{1, "网址", "a.cn"}, {2, "邮箱", "b@x.cn"}, {3, "邮箱", "c@x.cn"}, {3, "电话", "139"}}));
        MoveKept(db, 2, 1);
        ReplaceKept(db, 3, {{3, "QQ", "5566"}});
        QCOMPARE(ReadKeptOf(db, {3, 2, 1}),
                 (QList<KeptValue>{{3, "QQ", "5566"}, {1, "网址", "a.cn"}, {1, "邮箱", "b@x.cn"}}));
        QCOMPARE(RecordRowids(db), (QList<qint64>{1, 2, 3}));
        QCOMPARE(OrphanKeptCount(db), 0);
    }
};

QTEST_GUILESS_MAIN(SideTablesTest)
#include "test_side_tables.moc"
