#pragma once
// Dates as a Chinese calendar prints them: 闰四月, 初八, 八月十五, 周五, 生肖, 星座.

#include "exchange/birthday/LunarCalendar.h"

#include <QDate>
#include <QString>

// 正月 二月 … 十月 冬月 腊月, with 闰 before a leap month.
QString LunarMonthName(int month, bool leapMonth);
// 初一 … 初十 十一 … 二十 廿一 … 廿九 三十.
QString LunarDayName(int day);
// 八月十五, 闰四月初二.
QString LunarMonthDayText(const LunarDate& date);
// 周一 … 周日.
QString WeekdayName(const QDate& date);
// The animal of a lunar year: 鼠 for 2020, 马 for 2026.
QString ZodiacAnimal(int lunarYear);
// The star sign of a Gregorian month and day: 白羊座 for 4-1.
QString StarSign(int month, int day);
