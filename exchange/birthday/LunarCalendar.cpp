#include "LunarCalendar.h"

#include "exchange/birthday/LunarTableData.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

namespace {

constexpr int YearCount = int(std::size(LunarTableRows));

const LunarTableRow* rowOf(int year)
{
    const int index = year - LunarTableRows[0].year;
    return index >= 0 && index < YearCount ? &LunarTableRows[index] : nullptr;
}

// Where a month stands among the year's 12 or 13; -1 when the year has no such month.
int monthIndex(const LunarTableRow& row, int month, bool leapMonth)
{
    if (month < 1 || month > 12)
        return -1;
    if (leapMonth)
        return row.leapMonth == month ? month : -1;
    return month - 1 + (row.leapMonth != 0 && month > row.leapMonth ? 1 : 0);
}

int lengthAt(const LunarTableRow& row, int index)
{
    return row.lengths[index] == '1' ? 30 : 29;
}

int monthCount(const LunarTableRow& row)
{
    return int(std::strlen(row.lengths));
}

// The Julian day of each year's 正月初一, and one past the last year's end.
const std::array<qint64, YearCount + 1>& newYears()
{
    static const std::array<qint64, YearCount + 1> days = [] {
        std::array<qint64, YearCount + 1> d{};
        for (int i = 0; i < YearCount; ++i)
            d[size_t(i)] = QDate(LunarTableRows[i].year, LunarTableRows[i].newYearMonth, LunarTableRows[i].newYearDay)
                               .toJulianDay();
        const LunarTableRow& last = LunarTableRows[YearCount - 1];
        qint64 end = d[YearCount - 1];
        for (int m = 0; m < monthCount(last); ++m)
            end += lengthAt(last, m);
        d[YearCount] = end;
        return d;
    }();
    return days;
}

}  // namespace

namespace LunarCalendar {

int FirstYear()
{
    return LunarTableRows[0].year;
}

int LastYear()
{
    return LunarTableRows[YearCount - 1].year;
}

bool HasYear(int year)
{
    return rowOf(year) != nullptr;
}

int LeapMonth(int year)
{
    const LunarTableRow* row = rowOf(year);
    return row ? row->leapMonth : 0;
}

int MonthDays(int year, int month, bool leapMonth)
{
    const LunarTableRow* row = rowOf(year);
    const int index = row ? monthIndex(*row, month, leapMonth) : -1;
    return index < 0 ? 0 : lengthAt(*row, index);
}

std::optional<LunarDate> FromSolar(const QDate& date)
{
    const auto& starts = newYears();
    const qint64 day = date.toJulianDay();
    if (!date.isValid() || day < starts.front() || day >= starts.back())
        return std::nullopt;
    const int index = int(std::upper_bound(starts.begin(), starts.end(), day) - starts.begin()) - 1;
    const LunarTableRow& row = LunarTableRows[index];
    qint64 offset = day - starts[size_t(index)];
    int m = 0;
    while (offset >= lengthAt(row, m))
        offset -= lengthAt(row, m++);
    const bool leap = row.leapMonth != 0 && m == row.leapMonth;
    const int month = row.leapMonth != 0 && m >= row.leapMonth ? m : m + 1;
    return LunarDate{row.year, month, int(offset) + 1, leap};
}

QDate ToSolar(const LunarDate& date)
{
    const LunarTableRow* row = rowOf(date.year);
    const int index = row ? monthIndex(*row, date.month, date.leapMonth) : -1;
    if (index < 0 || date.day < 1 || date.day > lengthAt(*row, index))
        return QDate();
    qint64 day = newYears()[size_t(date.year - FirstYear())] + date.day - 1;
    for (int m = 0; m < index; ++m)
        day += lengthAt(*row, m);
    return QDate::fromJulianDay(day);
}

}  // namespace LunarCalendar
