#pragma once
// A lunar birthday in a vCard as Apple's address books write it:
// X-ALTBDAY;CALSCALE=chinese:EEEEYYYYMM[L]DD, the sexagenary cycle counted
// from the Yellow Emperor (78 for 1984-2043), the year in that cycle (1-60),
// the month, "L" after a leap month, and the day. A part the date does not
// have is one "-": --0815 is 八月十五 of no known year, --04L02 闰四月初二.

#include "exchange/birthday/Birthday.h"

#include <QByteArray>
#include <QStringView>
#include <optional>

// The label a card's lunar birthday is kept under when 生日 holds another.
inline constexpr QStringView LunarBirthdayLabel = u"农历生日";

// nullopt when the value is no such date, or a day the lunar table does not have.
std::optional<Birthday> BirthdayFromChineseAltDate(QStringView value);
// Empty for a Gregorian birthday.
QByteArray ChineseAltDateOf(const Birthday& birthday);
