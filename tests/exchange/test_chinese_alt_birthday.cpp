// Lunar birthdays as Apple's address books write them in vCards, and the
// texts the book keeps for birthdays read from cards.

#include "exchange/birthday/ChineseAltBirthday.h"

#include <QTest>

class TestChineseAltBirthday : public QObject {
    Q_OBJECT
private slots:
    void shouldReadTheCycleAndTheYearInIt_data();
    void shouldReadTheCycleAndTheYearInIt();
    void shouldWriteWhatItReadsForEveryYearOfTheTable();
    void shouldWriteTheLeapMonthAndAMissingYearAsApple();
    void shouldWriteTextsTheParserReadsBack();
};

void TestChineseAltBirthday::shouldReadTheCycleAndTheYearInIt_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("text");  // empty: not read
    QTest::newRow("甲子 1984") << "007800010101" << u"农历1984年正月初一"_qs;
    QTest::newRow("癸亥 1983") << "007700600101" << u"农历1983年正月初一"_qs;
    QTest::newRow("1985") << "007800021101" << u"农历1985年冬月初一"_qs;
    QTest::newRow("2014") << "007800310318" << u"农历2014年三月十八"_qs;
    QTest::newRow("庚子 1900") << "007600370815" << u"农历1900年八月十五"_qs;
    QTest::newRow("with dashes") << "0078-0031-03-18" << u"农历2014年三月十八"_qs;
    QTest::newRow("leap month") << "0078003704L02" << u"农历2020年闰四月初二"_qs;
    QTest::newRow("no year") << "--0815" << u"农历八月十五"_qs;
    QTest::newRow("no year, leap month") << "--04L30" << u"农历闰四月三十"_qs;
    QTest::newRow("a cycle without its year") << "0078-0815" << u"农历八月十五"_qs;
    QTest::newRow("the year before the first") << "004400570815" << QString();
    QTest::newRow("a year without its cycle") << "-00310318" << QString();
    QTest::newRow("L after the day") << "007800310318L" << QString();
    QTest::newRow("not that year's leap month") << "0078003703L02" << QString();
    QTest::newRow("day 31 without a year") << "--0831" << QString();
    QTest::newRow("year 0 of a cycle") << "007800000101" << QString();
    QTest::newRow("year 61") << "007800610101" << QString();
    QTest::newRow("month 13") << "007800311301" << QString();
    QTest::newRow("三十 of a short month") << "007800430230" << QString();  // 二月 of 2026 has 29 days
    QTest::newRow("before the table") << "007500010101" << QString();
    QTest::newRow("a Gregorian date") << "1990-05-01" << QString();
    QTest::newRow("empty") << "" << QString();
}

void TestChineseAltBirthday::shouldReadTheCycleAndTheYearInIt()
{
    QFETCH(QString, value);
    QFETCH(QString, text);
    const std::optional<Birthday> b = BirthdayFromChineseAltDate(value);
    QCOMPARE(b ? BirthdayText(*b) : QString(), text);
}

void TestChineseAltBirthday::shouldWriteWhatItReadsForEveryYearOfTheTable()
{
    for (int year = 1900; year <= 2099; ++year) {
        const Birthday b{BirthdayCalendar::Lunar, year, 8, 15, false};
        const QByteArray value = ChineseAltDateOf(b);
        QCOMPARE(value.size(), 12);
        QCOMPARE(BirthdayFromChineseAltDate(QString::fromLatin1(value)), std::optional<Birthday>(b));
    }
    QCOMPARE(ChineseAltDateOf(Birthday{BirthdayCalendar::Lunar, 2014, 3, 18, false}), QByteArray("007800310318"));
}

void TestChineseAltBirthday::shouldWriteTheLeapMonthAndAMissingYearAsApple()
{
    QCOMPARE(ChineseAltDateOf(Birthday{BirthdayCalendar::Lunar, 0, 8, 15, false}), QByteArray("--0815"));
    QCOMPARE(ChineseAltDateOf(Birthday{BirthdayCalendar::Lunar, 2020, 4, 2, true}), QByteArray("0078003704L02"));
    QCOMPARE(ChineseAltDateOf(Birthday{BirthdayCalendar::Lunar, 0, 4, 30, true}), QByteArray("--04L30"));
    QVERIFY(ChineseAltDateOf(Birthday{BirthdayCalendar::Solar, 1990, 5, 1, false}).isEmpty());
}

void TestChineseAltBirthday::shouldWriteTextsTheParserReadsBack()
{
    const QList<Birthday> birthdays{
        {BirthdayCalendar::Solar, 1990, 5, 1, false}, {BirthdayCalendar::Solar, 0, 2, 29, false},
        {BirthdayCalendar::Lunar, 1985, 4, 2, false}, {BirthdayCalendar::Lunar, 0, 4, 2, true},
        {BirthdayCalendar::Lunar, 0, 12, 30, false},  {BirthdayCalendar::Lunar, 2020, 4, 29, true},
        {BirthdayCalendar::Lunar, 0, 11, 20, false},  {BirthdayCalendar::Lunar, 0, 1, 10, false}};
    for (const Birthday& b : birthdays) {
        const QString text = BirthdayText(b);
        QVERIFY2(text.size() <= 15, qPrintable(text));  // the width of 生日
        QCOMPARE(ReadBirthday(text), std::optional<Birthday>(b));
    }
    QCOMPARE(BirthdayText(birthdays[0]), u"1990-05-01"_qs);
    QCOMPARE(BirthdayText(birthdays[3]), u"农历闰四月初二"_qs);
}

QTEST_APPLESS_MAIN(TestChineseAltBirthday)
#include "test_chinese_alt_birthday.moc"
