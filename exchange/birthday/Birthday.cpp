#include "Birthday.h"

#include "exchange/birthday/DateNames.h"
#include "exchange/birthday/LunarCalendar.h"

#include <QDate>
#include <QRegularExpression>

namespace {

// Full-width digits and signs become ASCII (NFKC), blanks go, and the
// traditional forms of the few characters read here become simplified.
QString normalized(const QString& text)
{
    static const QString traditional = QStringLiteral("農曆陰舊陽國閏臘號");
    static const QString simplified = QStringLiteral("农历阴旧阳国闰腊号");
    QString out;
    for (QChar c : text.normalized(QString::NormalizationForm_KC)) {
        if (c.isSpace())
            continue;
        const qsizetype i = traditional.indexOf(c);
        out += i >= 0 ? simplified[i] : c;
    }
    return out;
}

struct Marked {
    std::optional<BirthdayCalendar> calendar;  // named by the text
    QString core;                              // the date without the name
};

// 农历/阴历/旧历 or 公历/阳历/新历/国历, before the date (农历八月十五,
// 农历:八月十五) or after it (八月十五农历, 1985-4-2(阴历)), at most once.
std::optional<Marked> withoutCalendarName(const QString& text)
{
    static const QRegularExpression named(QStringLiteral(
        "^(?:(农历|阴历|旧历|公历|阳历|新历|国历):?|[(\\[【](农历|阴历|旧历|公历|阳历|新历|国历)[)\\]】])?(.*?)"
        "(?:(农历|阴历|旧历|公历|阳历|新历|国历)|[(\\[【](农历|阴历|旧历|公历|阳历|新历|国历)[)\\]】])?$"));
    static const QRegularExpression anyName(QStringLiteral("[农阴旧公阳新国]历"));
    const QRegularExpressionMatch m = named.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QString before = m.captured(1) + m.captured(2);
    const QString after = m.captured(4) + m.captured(5);
    Marked marked{std::nullopt, m.captured(3)};
    if ((!before.isEmpty() && !after.isEmpty()) || marked.core.contains(anyName))
        return std::nullopt;
    const QString name = before + after;
    if (!name.isEmpty())
        marked.calendar =
            QStringLiteral("农历阴历旧历").contains(name) ? BirthdayCalendar::Lunar : BirthdayCalendar::Solar;
    return marked;
}

// What the date itself says, before the calendar is settled.
struct DateParts {
    int year = 0;
    int month = 0;
    int day = 0;
    bool leapMonth = false;
    bool lunarWords = false;       // 正月 冬月 腊月 初一 廿一 卅 闰: said only of lunar dates
    bool chineseNumerals = false;  // 八月十五: without 日/号 either calendar's date
};

int chineseDigit(QChar c)
{
    static const QString digits = QStringLiteral("〇一二三四五六七八九");
    if (c == u'零' || c == u'○')
        return 0;
    return int(digits.indexOf(c));
}

// 一 .. 三十一 as written for months and days; 0 when it is not one.
int chineseNumber(QStringView text)
{
    static const QRegularExpression number(QStringLiteral("^(?:([二三])?(十))?([一二三四五六七八九])?$"));
    const QRegularExpressionMatch m = number.match(text);
    if (text.isEmpty() || !m.hasMatch())
        return 0;
    const int tens = m.hasCaptured(2) ? (m.hasCaptured(1) ? chineseDigit(m.captured(1)[0]) : 1) : 0;
    return tens * 10 + (m.hasCaptured(3) ? chineseDigit(m.captured(3)[0]) : 0);
}

int asciiNumber(QStringView text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? n : 0;
}

// A year of four digits, Arabic (1988) or Chinese (一九八八).
int yearNumber(QStringView text)
{
    if (text.size() != 4)
        return 0;
    if (text[0].isDigit())
        return asciiNumber(text);
    int year = 0;
    for (const QChar c : text) {
        const int digit = chineseDigit(c);
        if (digit < 0)
            return 0;
        year = year * 10 + digit;
    }
    return year;
}

bool monthWord(QStringView text, DateParts& parts)
{
    if (text == u"正" || text == u"冬" || text == u"腊") {
        parts.month = text == u"正" ? 1 : text == u"冬" ? 11 : 12;
        parts.lunarWords = true;
    } else if (text == u"元") {
        parts.month = 1;  // 元月: January as much as 正月
    } else if (text[0].isDigit()) {
        parts.month = asciiNumber(text);
    } else {
        parts.month = chineseNumber(text);
        parts.chineseNumerals = true;
    }
    return parts.month >= 1 && parts.month <= 12;
}

bool dayWord(QStringView text, DateParts& parts)
{
    if (text[0].isDigit()) {
        parts.day = asciiNumber(text);
    } else if (text.startsWith(u'初')) {
        parts.day = chineseNumber(text.mid(1));
        parts.lunarWords = true;
        if (parts.day > 10)
            return false;
    } else if (text.startsWith(u'廿') && text.size() == 2) {
        parts.day = 20 + chineseNumber(text.mid(1));
        parts.lunarWords = true;
        if (parts.day == 20 || parts.day > 29)
            return false;
    } else if (text == u"卅") {
        parts.day = 30;
        parts.lunarWords = true;
    } else {
        parts.day = chineseNumber(text);
        parts.chineseNumerals = true;
    }
    return parts.day >= 1 && parts.day <= 31;
}

// 1990-5-1, 1990/5/1, 1990.5.1 (one separator throughout), 19900501; without
// a year 5-1, 5/1, 5.1 and vCard's --0501 and --05-01.
std::optional<DateParts> numericDate(const QString& core)
{
    static const QRegularExpression withYear(
        QStringLiteral("^(\\d{4})(?:([-/.])(\\d{1,2})\\2(\\d{1,2})|(\\d{2})(\\d{2}))$"));
    static const QRegularExpression withoutYear(QStringLiteral("^(?:--(\\d{2})-?(\\d{2})|(\\d{1,2})[-/.](\\d{1,2}))$"));
    if (const QRegularExpressionMatch m = withYear.match(core); m.hasMatch()) {
        const int year = asciiNumber(m.capturedView(1));
        if (year == 0)
            return std::nullopt;
        return DateParts{year, asciiNumber(m.captured(3) + m.captured(5)), asciiNumber(m.captured(4) + m.captured(6))};
    }
    if (const QRegularExpressionMatch m = withoutYear.match(core); m.hasMatch())
        return DateParts{0, asciiNumber(m.captured(1) + m.captured(3)), asciiNumber(m.captured(2) + m.captured(4))};
    return std::nullopt;
}

// [年份年][闰]月份月日子[日|号]: 1990年5月1日, 5月1号, 1988年腊月初八, 闰四月初二, 五月一日.
std::optional<DateParts> wordDate(const QString& core)
{
    static const QRegularExpression words(QStringLiteral("^(?:(\\d{4}|[〇○零一二三四五六七八九]{4})年)?(闰)?(\\d{1,2}|["
                                                         "^\\d月]{1,2})月(\\d{1,2}|[^\\d日号]{1,3})([日号])?$"));
    const QRegularExpressionMatch m = words.match(core);
    DateParts parts;
    if (!m.hasMatch() || !monthWord(m.capturedView(3), parts) || !dayWord(m.capturedView(4), parts))
        return std::nullopt;
    if (m.hasCaptured(1) && (parts.year = yearNumber(m.capturedView(1))) == 0)
        return std::nullopt;
    parts.leapMonth = m.hasCaptured(2);
    parts.lunarWords = parts.lunarWords || parts.leapMonth;
    parts.chineseNumerals = parts.chineseNumerals && !m.hasCaptured(5);
    return parts;
}

// The date exists: a Gregorian one in its year (29 February in any leap year
// when none is given); a lunar one in its year of the table.
bool exists(const Birthday& b)
{
    if (!b.isLunar())
        return b.year == 0 ? QDate(2000, b.month, b.day).isValid()
                           : b.year >= EarliestBirthYear && b.year <= LatestBirthYear
                                 && QDate(b.year, b.month, b.day).isValid();
    if (b.month < 1 || b.month > 12 || b.day < 1 || b.day > 30)
        return false;
    return b.year == 0 || b.day <= LunarCalendar::MonthDays(b.year, b.month, b.leapMonth);
}

}  // namespace

std::optional<Birthday> ReadBirthday(const QString& text)
{
    const std::optional<Marked> marked = withoutCalendarName(normalized(text));
    if (!marked || marked->core.isEmpty())
        return std::nullopt;
    std::optional<DateParts> parts = numericDate(marked->core);
    if (!parts)
        parts = wordDate(marked->core);
    if (!parts)
        return std::nullopt;
    BirthdayCalendar calendar = BirthdayCalendar::Solar;
    if (marked->calendar) {
        calendar = *marked->calendar;
        if (calendar == BirthdayCalendar::Solar && parts->lunarWords)
            return std::nullopt;
    } else if (parts->lunarWords) {
        calendar = BirthdayCalendar::Lunar;
    } else if (parts->chineseNumerals) {
        return std::nullopt;
    }
    Birthday birthday{calendar, parts->year, parts->month, parts->day, parts->leapMonth};
    if (!birthday.isLunar() && birthday.year == AppleNoYear)
        birthday.year = 0;
    return exists(birthday) ? std::optional<Birthday>(birthday) : std::nullopt;
}

bool IsUnreadBirthday(const QString& text)
{
    return !text.trimmed().isEmpty() && !ReadBirthday(text);
}

QString BirthdayText(const Birthday& birthday)
{
    const QString year = birthday.year ? QString::number(birthday.year) : QString();
    if (birthday.isLunar())
        return u"农历"_qs + (year.isEmpty() ? QString() : year + u'年')
               + LunarMonthDayText(LunarDate{birthday.year, birthday.month, birthday.day, birthday.leapMonth});
    const QString monthDay =
        QStringLiteral("%1-%2").arg(birthday.month, 2, 10, QLatin1Char('0')).arg(birthday.day, 2, 10, QLatin1Char('0'));
    return year.isEmpty() ? monthDay : year + u'-' + monthDay;
}
