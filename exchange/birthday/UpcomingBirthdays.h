#pragma once
// The birthdays coming in the next days, as the birthdays command, the
// reminder and the tools window show them.

#include "exchange/ContactDraft.h"
#include "exchange/birthday/BirthdayDates.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

using BirthdayContact = std::array<QString, ContactTextCount>;  // the seven texts in table order

struct UpcomingBirthday {
    int contact = 0;  // where the contact stands in the list given
    Birthday birthday;
    QString text;  // the birthday as the book holds it: 生日, or the lunar one kept beside it
    BirthdayOccurrence occurrence;
    int daysLeft = 0;  // 0 for today
};

// The contacts whose next birthday falls on today or one of the `days` days
// after it, in date order, then in the window's order by 姓名. A contact with a
// lunar birthday beside its 生日 (ContactBirthdays.h) comes once for each.
QList<UpcomingBirthday> UpcomingBirthdays(const QList<BirthdayContact>& contacts, const QDate& today, int days);

// Where the contacts stand whose 生日 holds a text that is not understood (blank ones aside).
QList<int> UnreadBirthdays(const QList<BirthdayContact>& contacts);

// 日期 星期 还有几天 姓名 生日 农历 周岁 生肖 星座
const QStringList& UpcomingBirthdayColumns();
QStringList UpcomingBirthdayRow(const UpcomingBirthday& upcoming, const BirthdayContact& contact);

// One line of a reminder: "今天是张三的 30 岁生日", "3 天后（周五）是李四的农历生日".
QString BirthdayReminderLine(const UpcomingBirthday& upcoming, const BirthdayContact& contact);
