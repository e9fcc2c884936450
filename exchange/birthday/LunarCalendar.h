#pragma once
// The Chinese calendar (农历) from the published tables: lunar years 1900 to
// 2099, that is Gregorian 1900-01-31 to 2100-02-08. A table, not a computation,
// because the tables are what calendars print and people go by.

#include <QDate>
#include <optional>

struct LunarDate {
    int year = 0;            // the lunar year, named as the Gregorian year its 正月初一 falls in
    int month = 0;           // 1 (正月) .. 12 (腊月)
    int day = 0;             // 1 (初一) .. 30 (三十)
    bool leapMonth = false;  // 闰: the leap month after the ordinary month of the same number

    friend bool operator==(const LunarDate&, const LunarDate&) = default;
};

namespace LunarCalendar {

int FirstYear();
int LastYear();
bool HasYear(int year);
// The number of the year's leap month (it follows the ordinary month of that
// number); 0 when the year has none or lies outside the table.
int LeapMonth(int year);
// 29 or 30; 0 when the year has no such month.
int MonthDays(int year, int month, bool leapMonth);
// The lunar date of a Gregorian day; nullopt outside the table.
std::optional<LunarDate> FromSolar(const QDate& date);
// The Gregorian day of a lunar date; invalid when there is no such day.
QDate ToSolar(const LunarDate& date);

}  // namespace LunarCalendar
