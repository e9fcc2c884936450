#include "BirthdayCalendarFile.h"

#include "exchange/FileBytes.h"
#include "exchange/birthday/BirthdayDates.h"
#include "exchange/birthday/ContactBirthdays.h"
#include "exchange/birthday/DateNames.h"
#include "exchange/birthday/LunarCalendar.h"
#include "exchange/vcard/VCardOutput.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QHash>

namespace {

QByteArray dateValue(const QDate& date)
{
    return date.toString(QStringLiteral("yyyyMMdd")).toLatin1();
}

// The same contact (name and 生日) gets the same identity in every export;
// two contacts alike in both are told apart by their order.
QByteArray identity(const StoredContact& contact, QHash<QByteArray, int>& seen)
{
    const QByteArray key = (contact.text(ContactText::Name) + u'\n' + contact.text(ContactText::Birthday)).toUtf8();
    QByteArray id = QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(20);
    if (const int earlier = seen[id]++; earlier > 0)
        id += '-' + QByteArray::number(earlier + 1);
    return id;
}

class CalendarWriter {
public:
    CalendarWriter(QIODevice& device, const QDateTime& now)
        : out_(device), stamp_(now.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1())
    {
        out_.line("BEGIN", "VCALENDAR");
        out_.line("VERSION", "2.0");
        out_.line("PRODID", "-//Tessaly//Birthdays//ZH");
        out_.line("CALSCALE", "GREGORIAN");
        out_.line("METHOD", "PUBLISH");
        out_.text("X-WR-CALNAME", QStringLiteral("生日"));
    }

    // One all-day event; rule is an RRULE value or empty.
    void event(const QByteArray& uid, const QDate& day, const QByteArray& rule, const QString& summary,
               const QString& birthdayText)
    {
        out_.line("BEGIN", "VEVENT");
        out_.line("UID", uid + "@tessaly");
        out_.line("DTSTAMP", stamp_);
        out_.line("DTSTART;VALUE=DATE", dateValue(day));
        out_.line("DTEND;VALUE=DATE", dateValue(day.addDays(1)));
        if (!rule.isEmpty())
            out_.line("RRULE", rule);
        out_.text("SUMMARY", summary);
        out_.text("DESCRIPTION", QStringLiteral("生日：%1").arg(birthdayText));
        out_.text("CATEGORIES", QStringLiteral("生日"));
        out_.line("TRANSP", "TRANSPARENT");
        out_.line("BEGIN", "VALARM");
        out_.line("ACTION", "DISPLAY");
        out_.text("DESCRIPTION", summary);
        out_.line("TRIGGER", "-P1D");
        out_.line("END", "VALARM");
        out_.line("END", "VEVENT");
    }

    void finish()
    {
        out_.line("END", "VCALENDAR");
        out_.flush();
    }

private:
    VCardOutput out_;
    QByteArray stamp_;
};

QString whose(const StoredContact& contact)
{
    const QString& name = contact.text(ContactText::Name);
    return name.isEmpty() ? QStringLiteral("无名联系人") : name;
}

// From the birth, or this year's day when the year is not known. 29 February
// repeats on February's last day, so it shows in common years too.
void solarEvent(CalendarWriter& writer, const QByteArray& id, const StoredContact& contact,
                const ContactBirthday& birthday, int thisYear)
{
    const Birthday& b = birthday.birthday;
    const QDate first = b.year ? BirthDate(b) : OccurrenceIn(b, thisYear)->date;
    const bool leapDay = b.month == 2 && b.day == 29;
    writer.event(id, first, leapDay ? "FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=-1" : "FREQ=YEARLY",
                 QStringLiteral("%1的生日").arg(whose(contact)), birthday.text);
}

void lunarEvents(CalendarWriter& writer, const QByteArray& id, const StoredContact& contact,
                 const ContactBirthday& birthday, int thisYear)
{
    for (int year = thisYear; year <= thisYear + LunarBirthdayYearsAhead; ++year) {
        const std::optional<BirthdayOccurrence> day = OccurrenceIn(birthday.birthday, year);
        if (!day)
            break;  // past the lunar table
        const std::optional<LunarDate> lunar = LunarCalendar::FromSolar(day->date);
        writer.event(id + '-' + QByteArray::number(year), day->date, QByteArray(),
                     QStringLiteral("%1的农历生日（%2）").arg(whose(contact), LunarMonthDayText(*lunar)),
                     birthday.text);
    }
}

}  // namespace

QByteArray BirthdaysAsICalendar(const QList<StoredContact>& contacts, const QDateTime& now)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    CalendarWriter writer(buffer, now);
    QHash<QByteArray, int> seen;
    const int thisYear = now.date().year();
    for (const StoredContact& contact : contacts) {
        const QList<ContactBirthday> birthdays = BirthdaysOf(contact.texts, contact.kept);
        if (birthdays.isEmpty())
            continue;
        const QByteArray id = identity(contact, seen);
        for (qsizetype i = 0; i < birthdays.size(); ++i) {
            // The lunar birthday kept beside 生日 has events of its own, named apart from 生日's.
            const QByteArray own = i == 0 ? id : id + "-lunar";
            if (birthdays[i].birthday.isLunar())
                lunarEvents(writer, own, contact, birthdays[i], thisYear);
            else
                solarEvent(writer, own, contact, birthdays[i], thisYear);
        }
    }
    writer.finish();
    return buffer.data();
}

void WriteBirthdayCalendarFile(const QString& path, const QList<StoredContact>& contacts)
{
    WriteWholeFile(path, BirthdaysAsICalendar(contacts, QDateTime::currentDateTimeUtc()));
}

QString BirthdayCalendarSummary(const QList<StoredContact>& contacts, const QString& leftOutListed)
{
    int read = 0, unread = 0;
    for (const StoredContact& contact : contacts) {
        read += int(BirthdaysOf(contact.texts, contact.kept).size());
        unread += IsUnreadBirthday(contact.text(ContactText::Birthday));
    }
    const QString summary = QStringLiteral("%1 个生日").arg(read);
    return unread == 0
               ? summary
               : summary + QStringLiteral("（另有 %1 个生日读不懂，未导出；%2）").arg(unread).arg(leftOutListed);
}
