// tessaly-book birthdays on a fixed day: today, 除夕, 29 February, the year's
// end, a leap month; the texts not understood; the arguments it refuses.

#include "tests/book/BookTesting.h"

#include <QTest>

namespace {

const QString Header = u"日期\t星期\t还有几天\t姓名\t生日\t农历\t周岁\t生肖\t星座"_qs;

class BirthdaysCommandTest : public QObject {
    Q_OBJECT

    TestBook book_;

    BookResult run(const QStringList& arguments) const
    {
        return book_.run(QStringList{QStringLiteral("birthdays")} + arguments);
    }

private slots:
    void initTestCase()
    {
        book_.add({
            {"朋友", "张三", "1990-12-08"},
            {"朋友", "李四", "2000-02-29"},
            {"家人", "王五", "腊月三十"},
            {"同事", "赵六", "1-1"},
            {"家人", "钱七", "农历1990年闰五月初一"},
            {"同学", "孙八", "八月十五", "13800138000"},
            {"同学", "周九", ""},
        });
    }

    void shouldListTheBirthdaysWithinTheDays_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("today only") << QStringList{"--today", "2026-12-08", "--days", "0"}
                                    << QStringList{"2026-12-08\t周二\t0\t张三\t1990-12-08\t十月三十\t36\t马\t射手座"};
        QTest::newRow("30 days by default, over the year's end")
            << QStringList{"--today=2026-12-08"}
            << QStringList{"2026-12-08\t周二\t0\t张三\t1990-12-08\t十月三十\t36\t马\t射手座",
                           "2027-01-01\t周五\t24\t赵六\t1-1\t冬月廿四\t\t\t摩羯座"};
        QTest::newRow("year end") << QStringList{"--today", "2026-12-31", "--days", "1"}
                                  << QStringList{"2027-01-01\t周五\t1\t赵六\t1-1\t冬月廿四\t\t\t摩羯座"};
        QTest::newRow("腊月三十 on 除夕 of a short 腊月")
            << QStringList{"--today", "2027-01-30", "--days", "10"}
            << QStringList{"2027-02-05\t周五\t6\t王五\t腊月三十\t腊月廿九\t\t\t"};
        QTest::newRow("29 February in a common year")
            << QStringList{"--today", "2027-02-20", "--days", "8"}
            << QStringList{"2027-02-28\t周日\t8\t李四\t2000-02-29\t正月廿三\t27\t龙\t双鱼座"};
        QTest::newRow("a day too far") << QStringList{"--today", "2027-02-20", "--days", "7"} << QStringList{};
        QTest::newRow("leap month in a year without it")
            << QStringList{"--days", "14", "--today", "2026-06-01"}
            << QStringList{"2026-06-15\t周一\t14\t钱七\t农历1990年闰五月初一\t五月初一\t36\t马\t巨蟹座"};
        QTest::newRow("leap month in a year with it")
            << QStringList{"--today", "2028-06-23", "--days", "0"}
            << QStringList{"2028-06-23\t周五\t0\t钱七\t农历1990年闰五月初一\t闰五月初一\t38\t马\t巨蟹座"};
    }
    void shouldListTheBirthdaysWithinTheDays()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, rows);
        const BookResult r = run(arguments);
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QStringList{Header} + rows);
    }

    void shouldListTheTextsNotUnderstoodWithTheirRecords()
    {
        const BookResult r = run({"--not-understood"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out,
                 (QStringList{"类别\t姓名\t生日\t电话\tQQ\t地址\t备注", "同学\t孙八\t八月十五\t13800138000\t\t\t"}));
    }

    void shouldRefuseArgumentsItCannotTake_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("negative days") << QStringList{"--days", "-1"} << "--days 须为 0 到 3650 之间的整数：-1";
        QTest::newRow("days not a number") << QStringList{"--days=三"} << "--days 须为 0 到 3650 之间的整数：三";
        QTest::newRow("days without a value") << QStringList{"--days"} << "birthdays 的选项 --days 后面缺少值";
        QTest::newRow("days twice") << QStringList{"--days", "1", "--days", "2"} << "--days 只能给一次";
        QTest::newRow("no such day") << QStringList{"--today", "2026-02-30"} << "--today 须为 YYYY-MM-DD 形式的日期";
        QTest::newRow("not ISO") << QStringList{"--today", "2026/12/08"} << "--today 须为 YYYY-MM-DD 形式的日期";
        QTest::newRow("outside the lunar table") << QStringList{"--today", "2099-06-01"} << "农历表的范围";
        QTest::newRow("an operand") << QStringList{"张三"} << "birthdays 不接受参数 张三";
        QTest::newRow("both lists") << QStringList{"--not-understood", "--notify"} << "不能同时使用";
        QTest::newRow("a reminder of other days") << QStringList{"--notify", "--days", "30"} << "--notify 不与 --days";
        QTest::newRow("a reminder of another day") << QStringList{"--today=2026-12-08", "--notify"} << "--today 同用";
        QTest::newRow("an unknown flag") << QStringList{"--lunar"} << "birthdays 不认识选项 --lunar";
    }
    void shouldRefuseArgumentsItCannotTake()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const BookResult r = run(arguments);
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.join(u'\n').contains(message), qPrintable(r.err.join(u'\n')));
        QVERIFY(r.out.isEmpty());
    }

    void shouldListOnlyBehindTheLoginPassword()
    {
        CapturingConsole console;
        const BookResult r = runBookAsGiven({"--db", book_.path, "birthdays", "--today", "2026-12-08"}, console);
        QCOMPARE(r.status, 2);
        QVERIFY(r.err.join(u'\n').contains("--password-file"));
        QVERIFY(r.out.isEmpty());
    }

    // At desktop login nobody can type the password: the reminder goes without
    // it (here a book with no birthday near, so no desktop is needed).
    void shouldRemindWithoutThePassword()
    {
        TestBook empty;
        empty.add({{"朋友", "赵六", ""}});
        CapturingConsole console;
        const BookResult r = runBookAsGiven({"--db", empty.path, "birthdays", "--notify"}, console);
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.isEmpty());
    }

    void shouldFailWithoutABook()
    {
        const BookResult r = runBook({"--db", book_.folder.path() + "/无.mdb", "birthdays"});
        QCOMPARE(r.status, 1);
        QVERIFY(r.err.join(u'\n').contains("找不到通讯录"));
    }
};

}  // namespace

QTEST_GUILESS_MAIN(BirthdaysCommandTest)
#include "test_birthdays.moc"
