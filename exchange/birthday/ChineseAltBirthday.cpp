#include "ChineseAltBirthday.h"

#include "exchange/birthday/LunarCalendar.h"

#include <QRegularExpression>

namespace {

constexpr int CycleOf1984 = 78;  // 1984 is 甲子, the first year of the 78th cycle
constexpr int YearsInCycle = 60;

// The lunar year of a cycle and a year in it; 0 when the value gives no year,
// -1 when it gives no such year.
int lunarYear(QStringView cycle, QStringView inCycle)
{
    if (cycle == u"-" || inCycle == u"-")
        return 0;
    const int year = inCycle.toInt();
    if (year < 1 || year > YearsInCycle)
        return -1;
    const int lunar = 1984 + (cycle.toInt() - CycleOf1984) * YearsInCycle + year - 1;
    return lunar > 0 ? lunar : -1;  // no table reaches back that far
}

}  // namespace

std::optional<Birthday> BirthdayFromChineseAltDate(QStringView value)
{
    // A cycle without its year names no year; a year without its cycle is no date.
    static const QRegularExpression apple(QStringLiteral("^(\\d{4}|-)(\\d{4}|-)(\\d{2})(L?)(\\d{2})$"));
    static const QRegularExpression dashed(QStringLiteral("^(\\d{4})-(\\d{4})-(\\d{2})-(L?)(\\d{2})$"));
    QRegularExpressionMatch m = apple.match(value.trimmed());
    if (!m.hasMatch())
        m = dashed.match(value.trimmed());
    if (!m.hasMatch() || (m.capturedView(1) == u"-" && m.capturedView(2) != u"-"))
        return std::nullopt;
    const int year = lunarYear(m.capturedView(1), m.capturedView(2));
    const Birthday b{BirthdayCalendar::Lunar, year, m.capturedView(3).toInt(), m.capturedView(5).toInt(),
                     !m.capturedView(4).isEmpty()};
    if (year < 0 || b.month < 1 || b.month > 12 || b.day < 1
        || b.day > (year == 0 ? 30 : LunarCalendar::MonthDays(b.year, b.month, b.leapMonth)))
        return std::nullopt;
    return b;
}

QByteArray ChineseAltDateOf(const Birthday& birthday)
{
    if (!birthday.isLunar())
        return QByteArray();
    QString yearPart = u"--"_qs;
    if (birthday.year != 0) {
        const int offset = birthday.year - 1984;
        const int cycles = (offset >= 0 ? offset : offset - (YearsInCycle - 1)) / YearsInCycle;  // rounded down
        yearPart = QString::asprintf("%04d%04d", CycleOf1984 + cycles, offset - cycles * YearsInCycle + 1);
    }
    return (yearPart + QString::asprintf("%02d%s%02d", birthday.month, birthday.leapMonth ? "L" : "", birthday.day))
        .toLatin1();
}
