#pragma once
// A lunar birthday in a vCard as Apple's address books write it:
// X-ALTBDAY;CALSCALE=chinese:EEEEYYYYMMDD, the sexagenary cycle counted from
// the Yellow Emperor (78 for 1984-2043), the year in that cycle (1-60), the
// month and the day. Seen only with a year, and never with a leap month, so
// neither is written.

#include "exchange/birthday/Birthday.h"

#include <QByteArray>
#include <QStringView>
#include <optional>

// nullopt when the value is no such date, or a day the lunar table does not have.
std::optional<Birthday> BirthdayFromChineseAltDate(QStringView value);
// Empty for a Gregorian birthday, a lunar one without its year, or a leap month.
QByteArray ChineseAltDateOf(const Birthday& birthday);
