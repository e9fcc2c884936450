#pragma once
// When a birthday is kept. A Gregorian one on its month and day, 29 February
// on 28 February in a common year. A lunar one on its lunar month and day: 三十
// in a month of 29 days on the month's last day (腊月三十 on 除夕), and a
// leap-month birthday on the ordinary month in a year without that leap month.

#include "exchange/birthday/Birthday.h"

#include <QDate>
#include <QString>
#include <optional>

struct BirthdayOccurrence {
    QDate date;    // the Gregorian day
    int year = 0;  // the year of the birthday's own calendar it is kept in (lunar for a lunar birthday)
};

// The day in the given year of the birthday's calendar; nullopt outside the lunar table.
std::optional<BirthdayOccurrence> OccurrenceIn(const Birthday& birthday, int year);
// The first day on or after from; nullopt outside the lunar table.
std::optional<BirthdayOccurrence> NextOccurrence(const Birthday& birthday, const QDate& from);
// The age turned on that day (周岁), in years of the birthday's calendar; nullopt
// without a birth year or before the birth.
std::optional<int> AgeOn(const Birthday& birthday, const BirthdayOccurrence& occurrence);

// The Gregorian day of birth; invalid without a birth year (or outside the lunar table).
QDate BirthDate(const Birthday& birthday);
// The birth year's animal (a Gregorian birth before 正月初一 belongs to the lunar
// year before); empty when the year is not known.
QString BirthZodiac(const Birthday& birthday);
// The star sign of the Gregorian day of birth; empty when it is not known.
QString BirthStarSign(const Birthday& birthday);
