#pragma once
// 生日 as people type it, read into a date: a Gregorian month and day
// (1990-05-01, 1990年5月1日, 5月1日, 5-1, --0501) or a lunar one (农历八月十五,
// 阴历1985-4-2, 1988年腊月初八, 正月初一, 闰四月初二), each with its year when
// given. A text that cannot be read with certainty is not understood: a month
// and day written in Chinese numerals without 日 or a calendar's name
// (八月十五) could be either calendar, so it is not read at all.

#include <QString>
#include <optional>

enum class BirthdayCalendar { Solar, Lunar };

struct Birthday {
    BirthdayCalendar calendar = BirthdayCalendar::Solar;
    int year = 0;  // 0 when the text gives none; the lunar year for a lunar birthday
    int month = 0;
    int day = 0;
    bool leapMonth = false;  // lunar only: 闰

    bool isLunar() const { return calendar == BirthdayCalendar::Lunar; }
    friend bool operator==(const Birthday&, const Birthday&) = default;
};

// nullopt when the text is not understood (empty included).
std::optional<Birthday> ReadBirthday(const QString& text);
// A text that says something (not blank) that is not understood.
bool IsUnreadBirthday(const QString& text);
// The birthday as the book writes one it did not get typed: 1990-05-01, 05-01,
// 农历1985年四月初二, 农历闰四月初二. ReadBirthday reads it back as it was.
QString BirthdayText(const Birthday& birthday);

// The years a birth year may be: a Gregorian one outside them is a placeholder
// or a slip, not a birth; a lunar one must lie in the lunar table.
constexpr int EarliestBirthYear = 1800;
// The year Apple writes for a birthday without one ("1604-09-12"): read as no year.
constexpr int AppleNoYear = 1604;
constexpr int LatestBirthYear = 2199;
