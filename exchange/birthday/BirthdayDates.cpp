#include "BirthdayDates.h"

#include "exchange/birthday/DateNames.h"
#include "exchange/birthday/LunarCalendar.h"

#include <algorithm>

std::optional<BirthdayOccurrence> OccurrenceIn(const Birthday& birthday, int year)
{
    if (!birthday.isLunar()) {
        const bool commonYear = birthday.month == 2 && birthday.day == 29 && !QDate::isLeapYear(year);
        return BirthdayOccurrence{QDate(year, birthday.month, commonYear ? 28 : birthday.day), year};
    }
    const bool leap = birthday.leapMonth && LunarCalendar::LeapMonth(year) == birthday.month;
    const int days = LunarCalendar::MonthDays(year, birthday.month, leap);
    if (days == 0)
        return std::nullopt;
    return BirthdayOccurrence{
        LunarCalendar::ToSolar(LunarDate{year, birthday.month, std::min(birthday.day, days), leap}), year};
}

std::optional<BirthdayOccurrence> NextOccurrence(const Birthday& birthday, const QDate& from)
{
    int year = from.year();
    if (birthday.isLunar()) {
        const std::optional<LunarDate> today = LunarCalendar::FromSolar(from);
        if (!today)
            return std::nullopt;
        year = today->year;
    }
    for (const int y : {year, year + 1}) {
        const std::optional<BirthdayOccurrence> occurrence = OccurrenceIn(birthday, y);
        if (!occurrence)
            return std::nullopt;
        if (occurrence->date >= from)
            return occurrence;
    }
    return std::nullopt;
}

std::optional<int> AgeOn(const Birthday& birthday, const BirthdayOccurrence& occurrence)
{
    if (birthday.year == 0 || occurrence.year < birthday.year)
        return std::nullopt;
    return occurrence.year - birthday.year;
}

QDate BirthDate(const Birthday& birthday)
{
    if (birthday.year == 0)
        return QDate();
    if (!birthday.isLunar())
        return QDate(birthday.year, birthday.month, birthday.day);
    return LunarCalendar::ToSolar(LunarDate{birthday.year, birthday.month, birthday.day, birthday.leapMonth});
}

QString BirthZodiac(const Birthday& birthday)
{
    if (birthday.year == 0)
        return QString();
    if (birthday.isLunar())
        return ZodiacAnimal(birthday.year);
    const QDate born = BirthDate(birthday);
    if (const std::optional<LunarDate> lunar = LunarCalendar::FromSolar(born))
        return ZodiacAnimal(lunar->year);
    // Outside the table: 正月初一 falls between 21 January and 20 February.
    if (born < QDate(born.year(), 1, 21))
        return ZodiacAnimal(born.year() - 1);
    if (born > QDate(born.year(), 2, 20))
        return ZodiacAnimal(born.year());
    return QString();
}

QString BirthStarSign(const Birthday& birthday)
{
    if (!birthday.isLunar())
        return StarSign(birthday.month, birthday.day);
    const QDate born = BirthDate(birthday);
    return born.isValid() ? StarSign(born.month(), born.day()) : QString();
}
