#include "DateNames.h"

#include <array>

namespace {

const QString& digitName(int digit)
{
    static const std::array<QString, 10> names{u"〇"_qs, u"一"_qs, u"二"_qs, u"三"_qs, u"四"_qs,
                                               u"五"_qs, u"六"_qs, u"七"_qs, u"八"_qs, u"九"_qs};
    return names[size_t(digit)];
}

}  // namespace

QString LunarMonthName(int month, bool leapMonth)
{
    QString name = month == 1    ? u"正"_qs
                   : month == 11 ? u"冬"_qs
                   : month == 12 ? u"腊"_qs
                   : month == 10 ? u"十"_qs
                                 : digitName(month);
    return (leapMonth ? u"闰"_qs : QString()) + name + u'月';
}

QString LunarDayName(int day)
{
    if (day <= 10)
        return u"初"_qs + (day == 10 ? u"十"_qs : digitName(day));
    if (day % 10 == 0)
        return digitName(day / 10) + u'十';
    static const std::array<QString, 3> tens{QString(), u"十"_qs, u"廿"_qs};
    return tens[size_t(day / 10)] + digitName(day % 10);
}

QString LunarMonthDayText(const LunarDate& date)
{
    return LunarMonthName(date.month, date.leapMonth) + LunarDayName(date.day);
}

QString WeekdayName(const QDate& date)
{
    static const std::array<QString, 7> names{u"周一"_qs, u"周二"_qs, u"周三"_qs, u"周四"_qs,
                                              u"周五"_qs, u"周六"_qs, u"周日"_qs};
    return names[size_t(date.dayOfWeek() - 1)];
}

QString ZodiacAnimal(int lunarYear)
{
    static const QString animals = u"鼠牛虎兔龙蛇马羊猴鸡狗猪"_qs;
    return animals[((lunarYear - 4) % 12 + 12) % 12];
}

QString StarSign(int month, int day)
{
    // The first day of each sign, from 摩羯座 (22 December) round the year.
    struct Sign {
        int month, day;
        const char16_t* name;
    };
    static constexpr std::array<Sign, 12> starts{{{1, 20, u"水瓶座"},
                                                  {2, 19, u"双鱼座"},
                                                  {3, 21, u"白羊座"},
                                                  {4, 20, u"金牛座"},
                                                  {5, 21, u"双子座"},
                                                  {6, 22, u"巨蟹座"},
                                                  {7, 23, u"狮子座"},
                                                  {8, 23, u"处女座"},
                                                  {9, 23, u"天秤座"},
                                                  {10, 24, u"天蝎座"},
                                                  {11, 23, u"射手座"},
                                                  {12, 22, u"摩羯座"}}};
    const char16_t* name = starts.back().name;
    for (const Sign& s : starts)
        if (month > s.month || (month == s.month && day >= s.day))
            name = s.name;
    return QString::fromUtf16(name);
}
