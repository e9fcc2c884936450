#include "UpcomingBirthdays.h"

#include "exchange/birthday/ContactBirthdays.h"
#include "exchange/birthday/DateNames.h"
#include "exchange/birthday/LunarCalendar.h"
#include "store/SortOrder.h"

#include <algorithm>

namespace {

const QString& textOf(const BirthdayContact& contact, ContactText column)
{
    return contact[size_t(column)];
}

}  // namespace

QList<UpcomingBirthday> UpcomingBirthdays(const QList<BirthdayContact>& contacts, const QDate& today, int days)
{
    std::vector<UpcomingBirthday> found;
    for (int i = 0; i < contacts.size(); ++i) {
        for (const auto& [birthday, text] : BirthdaysOf(contacts[i])) {
            const std::optional<BirthdayOccurrence> next = NextOccurrence(birthday, today);
            if (next && today.daysTo(next->date) <= days)
                found.push_back(UpcomingBirthday{i, birthday, text, *next, int(today.daysTo(next->date))});
        }
    }
    // The window's order by 姓名 among the few found, then by date, keeping that order within a day.
    std::vector<int> rows(found.size());
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = int(i);
    const int name = int(ContactText::Name);
    QList<UpcomingBirthday> upcoming;
    for (const int row : SortRecords(rows, {SortKey{name, false}}, [&](int row, int) {
             return std::optional<QString>(contacts[found[size_t(row)].contact][size_t(name)]);
         }))
        upcoming << found[size_t(row)];
    std::stable_sort(upcoming.begin(), upcoming.end(),
                     [](const UpcomingBirthday& a, const UpcomingBirthday& b) { return a.daysLeft < b.daysLeft; });
    return upcoming;
}

QList<int> UnreadBirthdays(const QList<BirthdayContact>& contacts)
{
    QList<int> unread;
    for (int i = 0; i < contacts.size(); ++i)
        if (IsUnreadBirthday(textOf(contacts[i], ContactText::Birthday)))
            unread << i;
    return unread;
}

const QStringList& UpcomingBirthdayColumns()
{
    static const QStringList columns{u"日期"_qs, u"星期"_qs, u"还有几天"_qs, u"姓名"_qs, u"生日"_qs,
                                     u"农历"_qs, u"周岁"_qs, u"生肖"_qs,     u"星座"_qs};
    return columns;
}

QStringList UpcomingBirthdayRow(const UpcomingBirthday& upcoming, const BirthdayContact& contact)
{
    const QDate& date = upcoming.occurrence.date;
    const std::optional<LunarDate> lunar = LunarCalendar::FromSolar(date);
    const std::optional<int> age = AgeOn(upcoming.birthday, upcoming.occurrence);
    return {date.toString(Qt::ISODate),
            WeekdayName(date),
            QString::number(upcoming.daysLeft),
            textOf(contact, ContactText::Name),
            upcoming.text,
            lunar ? LunarMonthDayText(*lunar) : QString(),
            age ? QString::number(*age) : QString(),
            BirthZodiac(upcoming.birthday),
            BirthStarSign(upcoming.birthday)};
}

QString BirthdayReminderLine(const UpcomingBirthday& upcoming, const BirthdayContact& contact)
{
    const QString weekday = WeekdayName(upcoming.occurrence.date);
    const QString when = upcoming.daysLeft == 0   ? u"今天"_qs
                         : upcoming.daysLeft == 1 ? u"明天（%1）"_qs.arg(weekday)
                         : upcoming.daysLeft == 2 ? u"后天（%1）"_qs.arg(weekday)
                                                  : u"%1 天后（%2）"_qs.arg(upcoming.daysLeft).arg(weekday);
    const std::optional<int> age = AgeOn(upcoming.birthday, upcoming.occurrence);
    return u"%1是%2的%3%4生日"_qs.arg(when, textOf(contact, ContactText::Name),
                                      age && *age > 0 ? u" %1 岁"_qs.arg(*age) : QString(),
                                      upcoming.birthday.isLunar() ? u"农历"_qs : QString());
}
