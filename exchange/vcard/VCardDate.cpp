#include "VCardDate.h"

#include <QDate>
#include <QList>

namespace {

// A birthday text cut into runs of digits and single other characters; blanks dropped.
struct Token {
    int digits = 0;  // number of digits, 0 for a separator
    int value = 0;
    QChar separator;
};

QList<Token> tokenize(const QString& text)
{
    QList<Token> tokens;
    for (const QChar c : text) {
        if (c.isSpace())
            continue;
        const int digit = c.digitValue();
        if (digit >= 0 && c.isDigit()) {
            if (tokens.isEmpty() || tokens.last().digits == 0 || tokens.last().digits >= 8)
                tokens.append(Token{});
            Token& t = tokens.last();
            t.digits += 1;
            t.value = t.value * 10 + digit;
        } else {
            tokens.append(Token{0, 0, c});
        }
    }
    return tokens;
}

bool isDateSeparator(QChar c)
{
    return c == QLatin1Char('-') || c == QLatin1Char('/') || c == QLatin1Char('.');
}

bool isDayMark(QChar c)
{
    return c == QChar(0x65E5) || c == QChar(0x53F7);  // 日 号
}

// A month and day that some year has (29 February included).
bool isMonthDay(int month, int day)
{
    return QDate(2000, month, day).isValid();
}

struct ParsedDate {
    int year = 0;  // 0 when the text has none
    int month = 0;
    int day = 0;
    bool ok = false;
};

ParsedDate checked(int year, int month, int day)
{
    const bool ok = year > 0 ? QDate(year, month, day).isValid() : isMonthDay(month, day);
    return ParsedDate{year, month, day, ok};
}

bool isNumber(const Token& t, int minDigits, int maxDigits)
{
    return t.digits >= minDigits && t.digits <= maxDigits;
}

bool isSeparator(const Token& t, QChar c)
{
    return t.digits == 0 && t.separator == c;
}

ParsedDate parseTyped(const QString& typed)
{
    const QList<Token> t = tokenize(typed);
    const QChar year(0x5E74), month(0x6708);  // 年 月
    if (t.size() == 1 && t[0].digits == 8)
        return checked(t[0].value / 10000, t[0].value / 100 % 100, t[0].value % 100);
    if (t.size() == 5 && isNumber(t[0], 4, 4) && t[1].digits == 0 && isDateSeparator(t[1].separator)
        && isNumber(t[2], 1, 2) && isSeparator(t[3], t[1].separator) && isNumber(t[4], 1, 2))
        return checked(t[0].value, t[2].value, t[4].value);
    if ((t.size() == 5 || (t.size() == 6 && t[5].digits == 0 && isDayMark(t[5].separator))) && isNumber(t[0], 4, 4)
        && isSeparator(t[1], year) && isNumber(t[2], 1, 2) && isSeparator(t[3], month) && isNumber(t[4], 1, 2))
        return checked(t[0].value, t[2].value, t[4].value);
    if (t.size() == 3 && isNumber(t[0], 1, 2) && t[1].digits == 0 && isDateSeparator(t[1].separator)
        && isNumber(t[2], 1, 2))
        return checked(0, t[0].value, t[2].value);
    if ((t.size() == 3 || (t.size() == 4 && t[3].digits == 0 && isDayMark(t[3].separator))) && isNumber(t[0], 1, 2)
        && isSeparator(t[1], month) && isNumber(t[2], 1, 2))
        return checked(0, t[0].value, t[2].value);
    if (t.size() == 3 && isSeparator(t[0], QLatin1Char('-')) && isSeparator(t[1], QLatin1Char('-')) && t[2].digits == 4)
        return checked(0, t[2].value / 100, t[2].value % 100);
    return {};
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString fourDigits(int n)
{
    return QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
}

bool allAsciiDigits(QStringView text)
{
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return !text.isEmpty();
}

// The date part of a BDAY value: "19900102", "1990-01-02", "--0102", "--01-02".
ParsedDate parseVCardDate(QStringView value)
{
    const qsizetype timeAt = value.indexOf(QLatin1Char('T'));
    if (timeAt >= 0)
        value = value.left(timeAt);
    QString compact;
    bool noYear = false;
    if (value.startsWith(QLatin1String("--"))) {
        noYear = true;
        value = value.mid(2);
    }
    for (const QChar c : value) {
        if (c != QLatin1Char('-'))
            compact += c;
    }
    const qsizetype dashes = value.size() - compact.size();
    if (!allAsciiDigits(compact))
        return {};
    if (noYear && compact.size() == 4 && (dashes == 0 || (dashes == 1 && value.indexOf(QLatin1Char('-')) == 2)))
        return checked(0, compact.left(2).toInt(), compact.mid(2).toInt());
    const bool dashed =
        dashes == 2 && value.size() == 10 && value[4] == QLatin1Char('-') && value[7] == QLatin1Char('-');
    if (!noYear && compact.size() == 8 && (dashes == 0 || dashed))
        return checked(compact.left(4).toInt(), compact.mid(4, 2).toInt(), compact.mid(6).toInt());
    return {};
}

}  // namespace

QString birthdayAsVCardDate(const QString& typed)
{
    const ParsedDate date = parseTyped(typed);
    if (!date.ok)
        return QString();
    if (date.year == 0)
        return QLatin1String("--") + twoDigits(date.month) + twoDigits(date.day);
    return fourDigits(date.year) + QLatin1Char('-') + twoDigits(date.month) + QLatin1Char('-') + twoDigits(date.day);
}

QString birthdayFromVCardDate(const QString& value, const QString& omittedYear)
{
    const QString trimmed = value.trimmed();
    const ParsedDate date = parseVCardDate(trimmed);
    if (!date.ok)
        return value;
    const bool noYear = date.year == 0 || (!omittedYear.isEmpty() && omittedYear.trimmed().toInt() == date.year);
    if (noYear)
        return twoDigits(date.month) + QLatin1Char('-') + twoDigits(date.day);
    return fourDigits(date.year) + QLatin1Char('-') + twoDigits(date.month) + QLatin1Char('-') + twoDigits(date.day);
}
