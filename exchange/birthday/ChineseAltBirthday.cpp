#include "ChineseAltBirthday.h"

#include "exchange/birthday/LunarCalendar.h"

#include <QRegularExpression>

namespace {

constexpr int CycleOf1984 = 78;  // 1984 is 甲子, the first year of the 78th cycle
constexpr int YearsInCycle = 60;

}  // namespace

std::optional<Birthday> BirthdayFromChineseAltDate(QStringView value)
{
    static const QRegularExpression date(QStringLiteral("^(\\d{4})-?(\\d{4})-?(\\d{2})-?(\\d{2})$"));
    const QRegularExpressionMatch m = date.match(value.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const int cycle = m.capturedView(1).toInt(), inCycle = m.capturedView(2).toInt();
    if (inCycle < 1 || inCycle > YearsInCycle)
        return std::nullopt;
    const Birthday b{BirthdayCalendar::Lunar, 1984 + (cycle - CycleOf1984) * YearsInCycle + inCycle - 1,
                     m.capturedView(3).toInt(), m.capturedView(4).toInt(), false};
    if (b.day < 1 || b.day > LunarCalendar::MonthDays(b.year, b.month, false))
        return std::nullopt;
    return b;
}

QByteArray ChineseAltDateOf(const Birthday& birthday)
{
    if (!birthday.isLunar() || birthday.year == 0 || birthday.leapMonth)
        return QByteArray();
    const int offset = birthday.year - 1984;
    const int cycles = (offset >= 0 ? offset : offset - (YearsInCycle - 1)) / YearsInCycle;  // rounded down
    const int cycle = CycleOf1984 + cycles, inCycle = offset - cycles * YearsInCycle + 1;
    return QString::asprintf("%04d%04d%02d%02d", cycle, inCycle, birthday.month, birthday.day).toLatin1();
}
