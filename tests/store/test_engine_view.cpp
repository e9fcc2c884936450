// The recordset's view: current record, filter, sort and the signals that the grid follows.

#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "tests/support/ContactBook.h"

#include <QSignalSpy>

class EngineViewTest : public QObject {
    Q_OBJECT
private slots:
    void shouldKeepCurrentRecordThroughAppendEditSortAndDelete()
    {
        ContactBook db;
        db.addNames({QStringLiteral("张"), QStringLiteral("李"), QStringLiteral("王")});
        QCOMPARE(db.query.RecNo(), 3);  // the appended record is current, at the end

        db.query.SetRecNo(2);
        db.query.Edit();
        db.query.FieldByName(QStringLiteral("姓名"))->SetAsString(QStringLiteral("安"));
        db.query.Post();
        QCOMPARE(db.query.RecNo(), 2);  // a changed record keeps its place
        QCOMPARE(db.viewNames(), (QStringList{"张", "安", "王"}));

        db.query.SetSort(QStringLiteral("姓名   ASC"));
        QCOMPARE(db.viewNames(), (QStringList{"安", "王", "张"}));
        QCOMPARE(db.name(), QStringLiteral("安"));  // the sort keeps the current record
        QCOMPARE(db.query.RecNo(), 1);

        db.query.AppendRecord({QString(), QStringLiteral("阿")});
        QCOMPARE(db.viewNames(), (QStringList{"安", "王", "张", "阿"}));  // stays at the end until the next sort
        QCOMPARE(db.query.RecNo(), 4);

        db.query.SetRecNo(2);
        db.query.Delete();
        QCOMPARE(db.name(), QStringLiteral("张"));  // the next record becomes current
        db.query.Last();
        db.query.Delete();
        QCOMPARE(db.name(), QStringLiteral("张"));  // the previous one after the last
        QCOMPARE(db.query.RecNo(), 2);
        db.query.Delete();
        db.query.Delete();
        QCOMPARE(db.query.RecNo(), -1);
        QVERIFY(db.query.IsEmpty());

        db.reopen();
        QCOMPARE(db.query.RecordCount(), 0);
    }

    void shouldOpenOnFirstRecordAndWalkToTheEnd()
    {
        ContactBook db;
        db.addNames({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        db.reopen();
        QCOMPARE(db.query.RecNo(), 1);
        QVERIFY(db.query.Bof());
        QStringList walked;
        for (db.query.First(); !db.query.Eof(); db.query.Next())
            walked << db.name();
        QCOMPARE(walked, (QStringList{"a", "b", "c"}));
        QCOMPARE(db.query.RecNo(), 3);  // the walk ends on the last record
    }

    void shouldSortChineseInPinyinOrderWithNullsFirst_data()
    {
        QTest::addColumn<QString>("sort");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("ascending") << "姓名 ASC" << QStringList{"", "安", "李", "王", "张"};
        QTest::newRow("blanks and no direction") << "  姓名  " << QStringList{"", "安", "李", "王", "张"};
        QTest::newRow("descending") << "姓名 DESC" << QStringList{"张", "王", "李", "安", ""};
        QTest::newRow("two keys") << "类别 ASC, 姓名 DESC" << QStringList{"王", "安", "张", "李", ""};
        QTest::newRow("none") << "" << QStringList{"张", "李", "", "王", "安"};
    }

    void shouldSortChineseInPinyinOrderWithNullsFirst()
    {
        QFETCH(QString, sort);
        QFETCH(QStringList, expected);
        ContactBook db;
        db.query.AppendRecord({QStringLiteral("乙"), QStringLiteral("张")});
        db.query.AppendRecord({QStringLiteral("乙"), QStringLiteral("李")});
        db.query.AppendRecord({QStringLiteral("乙")});
        db.query.AppendRecord({QStringLiteral("甲"), QStringLiteral("王")});
        db.query.AppendRecord({QStringLiteral("甲"), QStringLiteral("安")});
        db.query.SetSort(sort);
        QCOMPARE(db.viewNames(), expected);
        db.reopen();  // the sort stays with the query
        QCOMPARE(db.viewNames(), expected);
    }

    void shouldRefuseSortOnPhotoAndKeepOrder()
    {
        ContactBook db;
        db.addNames({QStringLiteral("张"), QStringLiteral("安")});
        db.query.SetSort(QStringLiteral("姓名   ASC"));
        expectDatabaseError([&] { db.query.SetSort(QStringLiteral("jpg   ASC")); },
                            QStringLiteral("ADOQuery1: 不能按 jpg 排序"));
        expectDatabaseError([&] { db.query.SetSort(QStringLiteral("年龄 ASC")); },
                            QStringLiteral("ADOQuery1: 字段 '年龄' 未找到"));
        QCOMPARE(db.query.Sort(), QStringLiteral("姓名   ASC"));
        QCOMPARE(db.viewNames(), (QStringList{"安", "张"}));
    }

    void shouldFilterAndKeepOldFilterOnBadText()
    {
        ContactBook db;
        db.addNames({QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("张五")});
        db.query.SetFilter(QStringLiteral("姓名 like  '%张%'"));
        QCOMPARE(db.query.RecordCount(), 3);  // not yet filtering
        db.query.SetFiltered(true);
        QCOMPARE(db.viewNames(), (QStringList{"张三", "张五"}));
        QCOMPARE(db.query.RecNo(), 1);

        expectDatabaseError([&] { db.query.SetFilter(QStringLiteral("姓名 like  '%O'Neil%'")); },
                            QStringLiteral("ADOQuery1: 筛选条件有误"));
        QCOMPARE(db.query.Filter(), QStringLiteral("姓名 like  '%张%'"));
        QCOMPARE(db.viewNames(), (QStringList{"张三", "张五"}));

        db.query.SetFilter(QStringLiteral("姓名 = '李四'"));  // applied at once while filtering
        QCOMPARE(db.viewNames(), QStringList{"李四"});

        db.query.SetFiltered(false);
        QCOMPARE(db.query.RecordCount(), 3);
    }

    void shouldKeepViewWhenSameFilterIsSetAgain()
    {
        ContactBook db;
        db.addNames({QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("张五")});
        const QString filter = QStringLiteral("姓名 like  '%张%'");
        db.query.SetFilter(filter);
        db.query.SetFiltered(true);
        db.query.Last();
        // A changed record that no longer matches stays until the next filter is set.
        db.query.Edit();
        db.query.FieldByName(QStringLiteral("姓名"))->SetAsString(QStringLiteral("王五"));
        db.query.Post();
        QSignalSpy reset(&db.query, &TADOQuery::DataSetChanged);
        db.query.SetFilter(filter);
        QCOMPARE(reset.count(), 0);
        QCOMPARE(db.query.RecNo(), 2);
        QCOMPARE(db.viewNames(), (QStringList{"张三", "王五"}));

        db.query.SetFilter(QStringLiteral("姓名 like '%张%'"));
        QCOMPARE(db.viewNames(), QStringList{"张三"});
        QCOMPARE(db.query.RecNo(), 1);
    }

    void shouldCompareFilterValuesWithoutPadding()
    {
        ContactBook db;
        db.query.AppendRecord({QStringLiteral("朋友"), QStringLiteral("张三")});
        db.query.AppendRecord({QStringLiteral("朋友们"), QStringLiteral("李四")});
        db.query.SetFilter(QStringLiteral("类别 = '朋友'"));
        db.query.SetFiltered(true);
        QCOMPARE(db.viewNames(), QStringList{"张三"});
    }

    void shouldCountAtADeferredOpenAndReadTheRecordsAtTheFirstLook_data()
    {
        QTest::addColumn<QString>("elsewhere");  // what another program does before the first look
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("resets");      // DataSetChanged after the open's own
        QTest::addColumn<bool>("readAhead");  // the records read on the connection's thread after the open
        for (const bool readAhead : {false, true}) {
            const char* how = readAhead ? "read ahead" : "read at the look";
            QTest::addRow("nothing, %s", how) << QString() << QStringList{"张", "李", "王"} << 0 << readAhead;
            QTest::addRow("a record added, %s", how)
                << "insert into rem(姓名) values('赵')" << QStringList{"张", "李", "王", "赵"} << 1 << readAhead;
            QTest::addRow("a record changed, %s", how)
                << "update rem set 姓名 = '钱' where 姓名 = '李'" << QStringList{"张", "钱", "王"} << 0 << readAhead;
        }
    }
    void shouldCountAtADeferredOpenAndReadTheRecordsAtTheFirstLook()
    {
        QFETCH(QString, elsewhere);
        QFETCH(QStringList, names);
        QFETCH(int, resets);
        QFETCH(bool, readAhead);
        ContactBook db;
        db.addNames({QStringLiteral("张"), QStringLiteral("李"), QStringLiteral("王")});
        db.query.Close();
        db.query.DeferFetch = true;
        QSignalSpy reset(&db.query, &TADOQuery::DataSetChanged);
        db.reopen();
        if (readAhead)
            db.query.ReadAhead();  // a write elsewhere waits for its read to end, then it is read anew
        QCOMPARE(reset.size(), 1);
        // What the grid and the status bar ask at the start reads no record.
        QCOMPARE(db.query.RecordCount(), 3);
        QCOMPARE(db.query.RecNo(), 1);
        QVERIFY(!db.query.Eof());
        QVERIFY(!db.query.IsEmpty());
        QCOMPARE(db.query.FieldCount(), 8);
        if (!elsewhere.isEmpty())
            SecondCopy(db.folder.databasePath()).execute(elsewhere);

        QCOMPARE(db.name(), names.first());  // the first look reads them all
        QCOMPARE(db.viewNames(), names);
        QCOMPARE(db.query.RecNo(), 1);
        QCOMPARE(reset.size(), 1 + resets);
    }

    // The grid's first rows come from a read begun for them; any other look reads
    // the rest of that same read, and a sorted view is never shown half-read.
    void shouldShowTheFirstRecordsBeforeReadingTheRest_data()
    {
        QTest::addColumn<QString>("sort");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("readAhead");
        for (const bool readAhead : {false, true}) {
            const char* how = readAhead ? "read ahead" : "read at the look";
            QTest::addRow("table order, %s", how)
                << QString() << QStringList{"王", "张", "李", "赵", "钱"} << readAhead;
            QTest::addRow("sorted, %s", how)
                << QStringLiteral("姓名 ASC") << QStringList{"李", "钱", "王", "张", "赵"} << readAhead;
        }
    }
    void shouldShowTheFirstRecordsBeforeReadingTheRest()
    {
        QFETCH(QString, sort);
        QFETCH(QStringList, names);
        QFETCH(bool, readAhead);
        ContactBook db;
        db.addNames({"王", "张", "李", "赵", "钱"});
        db.query.Close();
        db.query.DeferFetch = true;
        if (!sort.isEmpty())
            db.query.SetSort(sort);
        db.reopen();
        if (readAhead)
            db.query.ReadAhead();
        QSignalSpy reset(&db.query, &TADOQuery::DataSetChanged);
        db.query.FetchFirst(2);
        db.query.FetchFirst(3);
        for (int row = 0; row < 3; ++row)
            QCOMPARE(db.query.DisplayText(row, 1).trimmed(), names[row]);
        db.query.FetchFirst(10);  // past the last record: the read is over, not begun again
        for (int row = 0; row < names.size(); ++row)
            QCOMPARE(db.query.DisplayText(row, 1).trimmed(), names[row]);
        QVERIFY(!db.query.IsNullAt(4, 1));
        QCOMPARE(db.viewNames(), names);
        QCOMPARE(db.query.RecNo(), 1);
        QCOMPARE(reset.size(), 0);
    }

    void shouldLeaveAnEmptyViewWhenDeferredRecordsCannotBeRead_data()
    {
        QTest::addColumn<bool>("readAhead");
        QTest::newRow("read at the look") << false;
        QTest::newRow("read ahead before the table went") << true;
    }
    void shouldLeaveAnEmptyViewWhenDeferredRecordsCannotBeRead()
    {
        QFETCH(bool, readAhead);
        ContactBook db;
        db.addNames({QStringLiteral("张")});
        db.query.Close();
        db.query.DeferFetch = true;
        db.reopen();
        if (readAhead)
            db.query.ReadAhead();
        SecondCopy(db.folder.databasePath()).execute(QStringLiteral("drop table rem"));
        QSignalSpy reset(&db.query, &TADOQuery::DataSetChanged);
        expectDatabaseError([&] { db.query.First(); }, QStringLiteral("ADOQuery1: no such table: rem"));
        QCOMPARE(reset.size(), 1);
        QCOMPARE(db.query.RecordCount(), 0);
        QVERIFY(db.query.Eof());
        QCOMPARE(db.query.DisplayText(0, 1), QString());
    }

    void shouldReadAtOnceWhenADeferredOpenIsFiltered()
    {
        ContactBook db;
        db.addNames({QStringLiteral("张"), QStringLiteral("李")});
        db.query.Close();
        db.query.DeferFetch = true;
        db.query.SetFilter(QStringLiteral("姓名 = '李'"));
        db.query.SetFiltered(true);
        db.reopen();
        SecondCopy(db.folder.databasePath()).execute(QStringLiteral("insert into rem(姓名) values('李')"));
        QCOMPARE(db.query.RecordCount(), 1);  // read at the open: the count is the filtered view's
        QCOMPARE(db.viewNames(), QStringList{QStringLiteral("李")});
    }

    void shouldHoldNotificationsWhileControlsAreDisabled()
    {
        ContactBook db;
        db.addNames({QStringLiteral("a"), QStringLiteral("b")});
        QSignalSpy reset(&db.query, &TADOQuery::DataSetChanged);
        QSignalSpy moved(&db.query, &TADOQuery::CurrentChanged);
        QSignalSpy changed(&db.query, &TADOQuery::RecordChanged);

        db.query.First();
        QCOMPARE(moved.count(), 1);
        db.query.Edit();
        db.query.FieldByName(QStringLiteral("姓名"))->SetAsString(QStringLiteral("c"));
        db.query.Post();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), 0);

        reset.clear();
        moved.clear();
        db.query.DisableControls();
        db.query.DisableControls();
        for (db.query.First(); !db.query.Eof(); db.query.Next()) {
        }
        db.query.EnableControls();
        QVERIFY(db.query.ControlsDisabled());
        QCOMPARE(reset.count() + moved.count(), 0);
        db.query.EnableControls();
        QVERIFY(!db.query.ControlsDisabled());
        QCOMPARE(reset.count(), 1);
        QCOMPARE(db.query.RecNo(), 2);
    }
};

QTEST_APPLESS_MAIN(EngineViewTest)
#include "test_engine_view.moc"
