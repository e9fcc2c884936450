// When birthdays fall, the age turned, the animal and the star sign; the
// upcoming list and the reminder's words.

#include "exchange/birthday/BirthdayDates.h"
#include "exchange/birthday/UpcomingBirthdays.h"

#include <QTest>

namespace {

Birthday read(const QString& text)
{
    const std::optional<Birthday> b = ReadBirthday(text);
    if (!b)
        qFatal("not understood: %s", qPrintable(text));
    return *b;
}

BirthdayContact contact(const QString& name, const QString& birthday)
{
    BirthdayContact c;
    c[size_t(ContactText::Name)] = name;
    c[size_t(ContactText::Birthday)] = birthday;
    return c;
}

}  // namespace

class TestBirthdayDates : public QObject {
    Q_OBJECT
private slots:
    void shouldKeepTheBirthdayOnTheRuledDayOfTheYear_data();
    void shouldKeepTheBirthdayOnTheRuledDayOfTheYear();
    void shouldFindTheNextBirthdayAndTheAgeTurned_data();
    void shouldFindTheNextBirthdayAndTheAgeTurned();
    void shouldNameTheAnimalAndTheStarSignOfTheBirth_data();
    void shouldNameTheAnimalAndTheStarSignOfTheBirth();
    void shouldListTheComingBirthdaysByDateThenName();
    void shouldWordTheReminderByDaysLeft();
    void shouldListALunarBirthdayKeptBesideTheGregorianOne();
};

void TestBirthdayDates::shouldKeepTheBirthdayOnTheRuledDayOfTheYear_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("year");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("29 February, leap year") << u"2000-02-29"_qs << 2028 << QDate(2028, 2, 29);
    QTest::newRow("29 February, common year") << u"2-29"_qs << 2027 << QDate(2027, 2, 28);
    QTest::newRow("腊月三十 on 除夕") << u"腊月三十"_qs << 2026 << QDate(2027, 2, 5);
    QTest::newRow("三十 of a short month") << u"农历七月三十"_qs << 2026 << QDate(2026, 9, 10);
    QTest::newRow("leap month in a year that has it") << u"闰四月初二"_qs << 2020 << QDate(2020, 5, 24);
    QTest::newRow("leap month in a year without it") << u"闰四月初二"_qs << 2026 << QDate(2026, 5, 18);
    QTest::newRow("ordinary month in a leap year") << u"农历四月初二"_qs << 2020 << QDate(2020, 4, 24);
    QTest::newRow("leap 三十 in a short leap month") << u"闰六月三十"_qs << 2025 << QDate(2025, 8, 22);
}

void TestBirthdayDates::shouldKeepTheBirthdayOnTheRuledDayOfTheYear()
{
    QFETCH(QString, text);
    QFETCH(int, year);
    QFETCH(QDate, expected);
    const std::optional<BirthdayOccurrence> occurrence = OccurrenceIn(read(text), year);
    QVERIFY(occurrence);
    QCOMPARE(occurrence->date, expected);
    QCOMPARE(occurrence->year, year);
}

void TestBirthdayDates::shouldFindTheNextBirthdayAndTheAgeTurned_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("expected");
    QTest::addColumn<int>("age");  // -1: none
    const QDate today(2026, 12, 8);
    QTest::newRow("today") << u"1990-12-08"_qs << today << today << 36;
    QTest::newRow("yesterday: next year") << u"1990-12-07"_qs << today << QDate(2027, 12, 7) << 37;
    QTest::newRow("no year") << u"12-09"_qs << today << QDate(2026, 12, 9) << -1;
    QTest::newRow("year end") << u"1-1"_qs << QDate(2026, 12, 31) << QDate(2027, 1, 1) << -1;
    QTest::newRow("lunar today") << u"农历十月三十"_qs << today << today << -1;
    QTest::newRow("lunar yesterday") << u"农历1990年十月廿九"_qs << today << QDate(2027, 11, 26) << 37;
    QTest::newRow("lunar in the next solar year, same lunar year")
        << u"1988年腊月初八"_qs << today << QDate(2027, 1, 15) << 38;
    QTest::newRow("lunar new year") << u"正月初一"_qs << today << QDate(2027, 2, 6) << -1;
    QTest::newRow("born today") << u"2026-12-08"_qs << today << today << 0;
    QTest::newRow("not born yet") << u"2030-01-01"_qs << today << QDate(2027, 1, 1) << -1;
}

void TestBirthdayDates::shouldFindTheNextBirthdayAndTheAgeTurned()
{
    QFETCH(QString, text);
    QFETCH(QDate, from);
    QFETCH(QDate, expected);
    QFETCH(int, age);
    const Birthday birthday = read(text);
    const std::optional<BirthdayOccurrence> next = NextOccurrence(birthday, from);
    QVERIFY(next);
    QCOMPARE(next->date, expected);
    QCOMPARE(AgeOn(birthday, *next).value_or(-1), age);
}

void TestBirthdayDates::shouldNameTheAnimalAndTheStarSignOfTheBirth_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("zodiac");
    QTest::addColumn<QString>("sign");
    QTest::newRow("before 正月初一: the year before") << u"1990-01-15"_qs << u"蛇"_qs << u"摩羯座"_qs;
    QTest::newRow("after") << u"1990-05-01"_qs << u"马"_qs << u"金牛座"_qs;
    QTest::newRow("no year") << u"3-21"_qs << QString() << u"白羊座"_qs;
    QTest::newRow("last day of 双鱼座") << u"3-20"_qs << QString() << u"双鱼座"_qs;
    QTest::newRow("first day of 摩羯座") << u"12-22"_qs << QString() << u"摩羯座"_qs;
    QTest::newRow("last day of 摩羯座") << u"1-19"_qs << QString() << u"摩羯座"_qs;
    QTest::newRow("first day of 水瓶座") << u"1-20"_qs << QString() << u"水瓶座"_qs;
    QTest::newRow("lunar with a year: born 1989-01-15") << u"1988年腊月初八"_qs << u"龙"_qs << u"摩羯座"_qs;
    QTest::newRow("lunar without a year") << u"正月初一"_qs << QString() << QString();
    QTest::newRow("before the table, late in the year") << u"1850-06-01"_qs << u"狗"_qs << u"双子座"_qs;
    QTest::newRow("before the table, new year unknown") << u"1850-02-01"_qs << QString() << u"水瓶座"_qs;
}

void TestBirthdayDates::shouldNameTheAnimalAndTheStarSignOfTheBirth()
{
    QFETCH(QString, text);
    QFETCH(QString, zodiac);
    QFETCH(QString, sign);
    QCOMPARE(BirthZodiac(read(text)), zodiac);
    QCOMPARE(BirthStarSign(read(text)), sign);
}

void TestBirthdayDates::shouldListTheComingBirthdaysByDateThenName()
{
    const QList<BirthdayContact> contacts{
        contact(u"王五"_qs, u"12-10"_qs),      contact(u"张三"_qs, u"1990-12-08"_qs),
        contact(u"李四"_qs, u"12-10"_qs),      contact(u"赵六"_qs, u"农历冬月初三"_qs),
        contact(u"钱七"_qs, u"八月十五"_qs),   contact(u"孙八"_qs, QString()),
        contact(u"周九"_qs, u"2027-01-08"_qs), contact(u"吴十"_qs, u"  "_qs),
        contact(u"郑一"_qs, u"1990-12-07"_qs),
    };
    const QList<UpcomingBirthday> upcoming = UpcomingBirthdays(contacts, QDate(2026, 12, 8), 30);
    QStringList rows;
    for (const UpcomingBirthday& u : upcoming)
        rows << UpcomingBirthdayRow(u, contacts[u.contact]).join(u'|');
    const QStringList expected{
        u"2026-12-08|周二|0|张三|1990-12-08|十月三十|36|马|射手座"_qs,
        u"2026-12-10|周四|2|李四|12-10|冬月初二|||射手座"_qs,
        u"2026-12-10|周四|2|王五|12-10|冬月初二|||射手座"_qs,
        u"2026-12-11|周五|3|赵六|农历冬月初三|冬月初三|||"_qs,
    };
    QCOMPARE(rows, expected);
    QCOMPARE(UpcomingBirthdays(contacts, QDate(2026, 12, 8), 0).size(), 1);
    QCOMPARE(UnreadBirthdays(contacts), QList<int>{4});
}

void TestBirthdayDates::shouldWordTheReminderByDaysLeft()
{
    const QList<BirthdayContact> contacts{contact(u"张三"_qs, u"1996-12-08"_qs),
                                          contact(u"李四"_qs, u"农历冬月初二"_qs),
                                          contact(u"王五"_qs, u"农历1990年冬月初三"_qs),
                                          contact(u"赵六"_qs, u"12-11"_qs), contact(u"钱七"_qs, u"2026-12-09"_qs)};
    QStringList lines;
    for (const UpcomingBirthday& u : UpcomingBirthdays(contacts, QDate(2026, 12, 8), 3))
        lines << BirthdayReminderLine(u, contacts[u.contact]);
    QCOMPARE(lines, (QStringList{u"今天是张三的 30 岁生日"_qs, u"明天（周三）是钱七的生日"_qs,
                                 u"后天（周四）是李四的农历生日"_qs, u"3 天后（周五）是王五的 36 岁农历生日"_qs,
                                 u"3 天后（周五）是赵六的生日"_qs}));
}

// A card's lunar birthday beside its 生日 is kept in 备注 (or beside the record) as 农历生日;
// Apple's year 1604 is no year.
void TestBirthdayDates::shouldListALunarBirthdayKeptBesideTheGregorianOne()
{
    BirthdayContact both = contact(u"李华"_qs, u"1990-12-20"_qs);
    both[size_t(ContactText::Note)] = u"爱喝茶；农历生日:农历冬月初三；邮箱:li@example.cn"_qs;
    BirthdayContact same = contact(u"王芳"_qs, u"农历冬月初三"_qs);
    same[size_t(ContactText::Note)] = u"农历生日:农历冬月初三"_qs;
    const QList<BirthdayContact> contacts{both, same, contact(u"苹果"_qs, u"1604-12-09"_qs)};
    QStringList lines;
    for (const UpcomingBirthday& u : UpcomingBirthdays(contacts, QDate(2026, 12, 8), 30))
        lines << UpcomingBirthdayRow(u, contacts[u.contact]).mid(2, 3).join(u'|') + u'|'
                     + BirthdayReminderLine(u, contacts[u.contact]);
    QCOMPARE(lines, (QStringList{u"1|苹果|1604-12-09|明天（周三）是苹果的生日"_qs,
                                 u"3|李华|农历冬月初三|3 天后（周五）是李华的农历生日"_qs,
                                 u"3|王芳|农历冬月初三|3 天后（周五）是王芳的农历生日"_qs,
                                 u"12|李华|1990-12-20|12 天后（周日）是李华的 36 岁生日"_qs}));
    QVERIFY(UnreadBirthdays(contacts).isEmpty());
}

QTEST_APPLESS_MAIN(TestBirthdayDates)
#include "test_birthday_dates.moc"
