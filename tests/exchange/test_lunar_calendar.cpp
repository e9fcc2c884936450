// The lunar calendar table against python3-lunardate (Debian's copy of the
// Hong Kong Observatory's tables), every month of 1901-2099, and the days
// people know.

#include "exchange/birthday/DateNames.h"
#include "exchange/birthday/LunarCalendar.h"

#include <QProcess>
#include <QTest>

class TestLunarCalendar : public QObject {
    Q_OBJECT
private slots:
    void shouldAgreeWithThePublishedTablesOnEveryMonth();
    void shouldGoBothWaysForEveryDayOfTheTable();
    void shouldNameTheDaysPeopleKnow_data();
    void shouldNameTheDaysPeopleKnow();
    void shouldHaveNoDatesOutsideTheTable();
};

void TestLunarCalendar::shouldAgreeWithThePublishedTablesOnEveryMonth()
{
    // One line per month, leap months in their place: year month leap first-day length.
    const QString script = QStringLiteral(R"(
import lunardate
for year in range(1901, 2100):
    info = lunardate.yearInfos[year - 1900]
    for month, days, leap in lunardate.LunarDate._enumMonth(info):
        print(year, month, leap, lunardate.LunarDate(year, month, 1, leap).toSolarDate(), days)
)");
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script});
    QVERIFY2(python.waitForFinished(60000), "python3-lunardate did not answer");
    QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
    const QStringList lines = QString::fromLatin1(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY(lines.size() > 199 * 12);
    int leapMonths = 0;
    for (const QString& line : lines) {
        const QStringList f = line.split(u' ');
        QCOMPARE(f.size(), 5);
        const LunarDate first{f[0].toInt(), f[1].toInt(), 1, f[2] == u"1"};
        const QDate start = QDate::fromString(f[3], Qt::ISODate);
        const int days = f[4].toInt();
        leapMonths += first.leapMonth;
        QVERIFY2(LunarCalendar::ToSolar(first) == start, qPrintable(line));
        QVERIFY2(LunarCalendar::MonthDays(first.year, first.month, first.leapMonth) == days, qPrintable(line));
        QVERIFY2(LunarCalendar::FromSolar(start) == first, qPrintable(line));
        LunarDate last = first;
        last.day = days;
        QVERIFY2(LunarCalendar::FromSolar(start.addDays(days - 1)) == last, qPrintable(line));
        if (first.leapMonth)
            QVERIFY2(LunarCalendar::LeapMonth(first.year) == first.month, qPrintable(line));
    }
    QCOMPARE(leapMonths, 73);
}

void TestLunarCalendar::shouldGoBothWaysForEveryDayOfTheTable()
{
    const QDate first(1900, 1, 31), end(2100, 2, 9);
    for (QDate day = first; day < end; day = day.addDays(1)) {
        const std::optional<LunarDate> lunar = LunarCalendar::FromSolar(day);
        QVERIFY2(lunar && LunarCalendar::ToSolar(*lunar) == day, qPrintable(day.toString(Qt::ISODate)));
    }
}

void TestLunarCalendar::shouldNameTheDaysPeopleKnow_data()
{
    QTest::addColumn<QDate>("solar");
    QTest::addColumn<int>("lunarYear");
    QTest::addColumn<QString>("lunar");
    QTest::newRow("today") << QDate(2026, 12, 8) << 2026 << u"十月三十"_qs;
    QTest::newRow("2027 new year (ICU says 7 February)") << QDate(2027, 2, 6) << 2027 << u"正月初一"_qs;
    QTest::newRow("2030 new year (ICU says 2 February)") << QDate(2030, 2, 3) << 2030 << u"正月初一"_qs;
    QTest::newRow("the eve of 2027 falls on the 29th") << QDate(2027, 2, 5) << 2026 << u"腊月廿九"_qs;
    QTest::newRow("mid-autumn 2026") << QDate(2026, 9, 25) << 2026 << u"八月十五"_qs;
    QTest::newRow("leap month 2020") << QDate(2020, 5, 24) << 2020 << u"闰四月初二"_qs;
    QTest::newRow("1987 leap sixth month") << QDate(1987, 7, 26) << 1987 << u"闰六月初一"_qs;
    QTest::newRow("1900 new year") << QDate(1900, 1, 31) << 1900 << u"正月初一"_qs;
    QTest::newRow("last day") << QDate(2100, 2, 8) << 2099 << u"腊月三十"_qs;
    QTest::newRow("冬月") << QDate(2026, 12, 9) << 2026 << u"冬月初一"_qs;
}

void TestLunarCalendar::shouldNameTheDaysPeopleKnow()
{
    QFETCH(QDate, solar);
    QFETCH(int, lunarYear);
    QFETCH(QString, lunar);
    const std::optional<LunarDate> date = LunarCalendar::FromSolar(solar);
    QVERIFY(date);
    QCOMPARE(date->year, lunarYear);
    QCOMPARE(LunarMonthDayText(*date), lunar);
}

void TestLunarCalendar::shouldHaveNoDatesOutsideTheTable()
{
    QVERIFY(!LunarCalendar::FromSolar(QDate(1900, 1, 30)));
    QVERIFY(!LunarCalendar::FromSolar(QDate(2100, 2, 9)));
    QVERIFY(!LunarCalendar::FromSolar(QDate()));
    QVERIFY(!LunarCalendar::ToSolar(LunarDate{2100, 1, 1, false}).isValid());
    QVERIFY(!LunarCalendar::ToSolar(LunarDate{1899, 12, 1, false}).isValid());
    QVERIFY(!LunarCalendar::ToSolar(LunarDate{2026, 4, 1, true}).isValid());  // 2026 has no leap month
    QVERIFY(!LunarCalendar::ToSolar(LunarDate{2026, 12, 30, false}).isValid());
    QCOMPARE(LunarCalendar::MonthDays(2026, 13, false), 0);
    QCOMPARE(LunarCalendar::LeapMonth(2026), 0);
}

QTEST_APPLESS_MAIN(TestLunarCalendar)
#include "test_lunar_calendar.moc"
