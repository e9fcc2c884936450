// birthdays: the contacts whose next birthday falls within the coming days, the
// 生日 texts that could not be read, or a desktop notification of the next few.
//
// The lists are behind the login password as every command is. The reminder
// is not: it runs at desktop login, where nobody can type it, and the user who
// turned it on was told that names and dates will show. So it shows only
// today's and the next three days' birthdays, on the desktop, never on the
// standard output, and takes no --days or --today that could list more.

#include "book/BookFile.h"
#include "book/Commands.h"
#include "book/ContactListing.h"
#include "book/DesktopNotification.h"
#include "exchange/birthday/LunarCalendar.h"
#include "exchange/birthday/UpcomingBirthdays.h"

namespace {

constexpr int ListedDays = 30;
constexpr int RemindedDays = 3;  // a reminder tells of today and the next three days
constexpr int MostDays = 3650;

int daysOption(const std::optional<QString>& given, int otherwise)
{
    if (!given)
        return otherwise;
    bool ok = false;
    const int days = given->toInt(&ok);
    if (!ok || days < 0 || days > MostDays || !given->at(0).isDigit())
        throw UsageError(QStringLiteral("birthdays 的 --days 须为 0 到 %1 之间的整数：%2").arg(MostDays).arg(*given));
    return days;
}

// The day the birthdays are counted from; the lunar table must cover it and the year after.
QDate todayOption(const std::optional<QString>& given)
{
    const QDate today = given ? QDate::fromString(*given, QStringLiteral("yyyy-MM-dd")) : QDate::currentDate();
    if (given && !today.isValid())
        throw UsageError(QStringLiteral("birthdays 的 --today 须为 YYYY-MM-DD 形式的日期：%1").arg(*given));
    const QDate first(LunarCalendar::FirstYear() + 1, 1, 1), last(LunarCalendar::LastYear() - 1, 12, 31);
    if (today < first || today > last)
        throw UsageError(
            QStringLiteral("birthdays 只能从 %1 到 %2 之间的日子算起（农历表的范围）：%3")
                .arg(first.toString(Qt::ISODate), last.toString(Qt::ISODate), today.toString(Qt::ISODate)));
    return today;
}

void remind(const QList<ContactTexts>& contacts, const QList<UpcomingBirthday>& upcoming)
{
    if (upcoming.isEmpty())
        return;
    QStringList lines;
    for (const UpcomingBirthday& u : upcoming)
        lines << BirthdayReminderLine(u, contacts[u.contact]);
    ShowDesktopNotification(QStringLiteral("生日提醒"), lines.join(u'\n'));
}

}  // namespace

int RunBirthdays(BookRun& run, const QStringList& arguments)
{
    const QString name = QStringLiteral("birthdays");
    QStringList rest = arguments;
    const std::optional<QString> daysGiven = TakeOptionValue(name, rest, QStringLiteral("--days"));
    const std::optional<QString> todayGiven = TakeOptionValue(name, rest, QStringLiteral("--today"));
    const QString unread = QStringLiteral("--not-understood"), notify = QStringLiteral("--notify");
    const CommandArguments split = SplitArguments(name, rest, {unread, notify});
    if (!split.operands.isEmpty())
        throw UsageError(QStringLiteral("birthdays 不接受参数 %1").arg(split.operands.first()));
    if (split.has(unread) && split.has(notify))
        throw UsageError(QStringLiteral("birthdays 的 --not-understood 与 --notify 不能同时使用"));
    if ((split.has(unread) || split.has(notify)) && (daysGiven || todayGiven))
        throw UsageError(
            QStringLiteral("birthdays 的 %1 不与 --days、--today 同用").arg(split.has(unread) ? unread : notify));
    const int days = split.has(notify) ? RemindedDays : daysOption(daysGiven, ListedDays);
    const QDate today = todayOption(todayGiven);

    const QList<ContactTexts> contacts = BookFile(run.database, split.has(notify) ? nullptr : &run).texts();
    if (split.has(unread)) {
        QList<ContactTexts> listed;
        for (const int i : UnreadBirthdays(contacts))
            listed << contacts[i];
        PrintContacts(run.console, listed, false);
        return ExitCode::Success;
    }
    const QList<UpcomingBirthday> upcoming = UpcomingBirthdays(contacts, today, days);
    if (split.has(notify)) {
        remind(contacts, upcoming);
        return ExitCode::Success;
    }
    QList<QStringList> rows;
    for (const UpcomingBirthday& u : upcoming)
        rows << UpcomingBirthdayRow(u, contacts[u.contact]);
    PrintTable(run.console, UpcomingBirthdayColumns(), rows);
    return ExitCode::Success;
}
