// The birthdays' calendar file: which events, their days and their identities.
// (tests/e2e/birthdays_e2e.sh reads a whole file back with python3-icalendar.)

#include "exchange/birthday/BirthdayCalendarFile.h"

#include <QRegularExpression>
#include <QTest>

namespace {

StoredContact contact(const QString& name, const QString& birthday)
{
    StoredContact c;
    c.texts[size_t(ContactText::Name)] = name;
    c.texts[size_t(ContactText::Birthday)] = birthday;
    return c;
}

// Every value of a property, in order: "DTSTART;VALUE=DATE" gives the days.
QStringList values(const QByteArray& calendar, const QString& property)
{
    QStringList found;
    const QString unfolded = QString::fromUtf8(calendar).replace(u"\r\n "_qs, QString());
    for (const QString& line : unfolded.split(u"\r\n"_qs))
        if (line.startsWith(property + u':'))
            found << line.mid(property.size() + 1);
    return found;
}

const QDateTime Now(QDate(2026, 12, 8), QTime(6, 30), Qt::UTC);

}  // namespace

class TestBirthdayCalendar : public QObject {
    Q_OBJECT
private slots:
    void shouldRepeatGregorianBirthdaysFromTheBirth();
    void shouldGiveLunarBirthdaysOneEventInEachOfTwentyOneYears();
    void shouldKeepEachEventsIdentityFromOneExportToTheNext();
    void shouldLeaveOutWhatIsNotUnderstood();
    void shouldGiveALunarBirthdayKeptBesideItsOwnEvents();
};

void TestBirthdayCalendar::shouldRepeatGregorianBirthdaysFromTheBirth()
{
    const QByteArray ics = BirthdaysAsICalendar(
        {contact(u"张三"_qs, u"1990-05-01"_qs), contact(u"李四"_qs, u"2-29"_qs), contact(u"王五"_qs, u"2000-02-29"_qs)},
        Now);
    QVERIFY(ics.startsWith("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"));
    QVERIFY(ics.endsWith("END:VEVENT\r\nEND:VCALENDAR\r\n"));
    QCOMPARE(values(ics, u"DTSTART;VALUE=DATE"_qs), (QStringList{u"19900501"_qs, u"20260228"_qs, u"20000229"_qs}));
    QCOMPARE(values(ics, u"RRULE"_qs), (QStringList{u"FREQ=YEARLY"_qs, u"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=-1"_qs,
                                                    u"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=-1"_qs}));
    QCOMPARE(values(ics, u"SUMMARY"_qs), (QStringList{u"张三的生日"_qs, u"李四的生日"_qs, u"王五的生日"_qs}));
    QCOMPARE(values(ics, u"TRIGGER"_qs).size(), 3);
    QCOMPARE(values(ics, u"DTSTAMP"_qs).value(0), u"20261208T063000Z"_qs);
}

void TestBirthdayCalendar::shouldGiveLunarBirthdaysOneEventInEachOfTwentyOneYears()
{
    const QByteArray ics = BirthdaysAsICalendar({contact(u"赵六"_qs, u"腊月三十"_qs)}, Now);
    const QStringList days = values(ics, u"DTSTART;VALUE=DATE"_qs);
    QCOMPARE(days.size(), 21);
    QCOMPARE(days.first(), u"20270205"_qs);  // 除夕 of a 腊月 of 29 days
    QCOMPARE(values(ics, u"SUMMARY"_qs).first(), u"赵六的农历生日（腊月廿九）"_qs);
    QVERIFY(values(ics, u"RRULE"_qs).isEmpty());
    QCOMPARE(values(ics, u"UID"_qs).last(), values(ics, u"UID"_qs).first().replace(u"-2026@"_qs, u"-2046@"_qs));
    // The table ends with lunar 2099.
    const QDateTime late(QDate(2090, 6, 1), QTime(0, 0), Qt::UTC);
    QCOMPARE(values(BirthdaysAsICalendar({contact(u"赵六"_qs, u"腊月三十"_qs)}, late), u"UID"_qs).size(), 10);
}

void TestBirthdayCalendar::shouldKeepEachEventsIdentityFromOneExportToTheNext()
{
    const QList<StoredContact> contacts{contact(u"张三"_qs, u"1990-05-01"_qs), contact(u"张三"_qs, u"1990-05-01"_qs),
                                        contact(u"李四"_qs, u"1990-05-01"_qs)};
    const QStringList uids = values(BirthdaysAsICalendar(contacts, Now), u"UID"_qs);
    QCOMPARE(uids.size(), 3);
    QCOMPARE(QSet<QString>(uids.begin(), uids.end()).size(), 3);
    QCOMPARE(values(BirthdaysAsICalendar(contacts, Now.addDays(40)), u"UID"_qs), uids);
    // Another contact before them changes none of theirs.
    const QStringList later =
        values(BirthdaysAsICalendar(QList<StoredContact>{contact(u"王五"_qs, u"3-1"_qs)} + contacts, Now), u"UID"_qs);
    QCOMPARE(later.mid(1), uids);
}

void TestBirthdayCalendar::shouldLeaveOutWhatIsNotUnderstood()
{
    const QList<StoredContact> contacts{contact(u"张三"_qs, u"八月十五"_qs), contact(u"李四"_qs, QString()),
                                        contact(u"王五"_qs, u"5-1"_qs)};
    QCOMPARE(values(BirthdaysAsICalendar(contacts, Now), u"SUMMARY"_qs), QStringList{u"王五的生日"_qs});
    QCOMPARE(BirthdayCalendarSummary(contacts, u"birthdays --not-understood 列出它们"_qs),
             u"1 个生日（另有 1 个生日读不懂，未导出；birthdays --not-understood 列出它们）"_qs);
}

void TestBirthdayCalendar::shouldGiveALunarBirthdayKeptBesideItsOwnEvents()
{
    StoredContact both = contact(u"李华"_qs, u"1990-03-05"_qs);
    both.kept = {{u"农历生日"_qs, u"农历1990年二月初九"_qs}};
    const QByteArray ics = BirthdaysAsICalendar({both}, Now);
    const QStringList uids = values(ics, u"UID"_qs);
    QCOMPARE(uids.size(), 1 + 21);
    QCOMPARE(values(ics, u"SUMMARY"_qs).mid(0, 2), (QStringList{u"李华的生日"_qs, u"李华的农历生日（二月初九）"_qs}));
    QVERIFY(uids[1].startsWith(uids[0].chopped(QStringLiteral("@tessaly").size()) + u"-lunar-2026@"_qs));
    QCOMPARE(BirthdayCalendarSummary({both}, u"birthdays --not-understood 列出它们"_qs), u"2 个生日"_qs);
}

QTEST_APPLESS_MAIN(TestBirthdayCalendar)
#include "test_birthday_calendar.moc"
