#include "PhoneNumber.h"

#include "platform/TextRules.h"

#include <algorithm>

namespace {

// ASCII and full-width digits, as Chinese input methods type them.
bool isDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QChar(0xFF10) && c <= QChar(0xFF19));
}

// Characters a dial string holds besides digits: pauses and the keypad's signs.
bool isDialSign(QChar c)
{
    return c == QLatin1Char('p') || c == QLatin1Char('P') || c == QLatin1Char('w') || c == QLatin1Char('W')
           || c == QLatin1Char(',') || c == QLatin1Char('*') || c == QLatin1Char('#');
}

bool isPause(QChar c)
{
    return c != QLatin1Char('*') && c != QLatin1Char('#') && isDialSign(c);
}

int digitCount(QStringView text)
{
    int n = 0;
    for (const QChar c : text)
        n += isDigit(c);
    return n;
}

qsizetype lengthInCharacters(QStringView text)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++n)
        if (text[i].isHighSurrogate() && i + 1 < text.size())
            ++i;
    return n;
}

// The number as written or without separators, whichever first fits; empty when neither does.
QString fitted(QStringView number, int width)
{
    if (lengthInCharacters(number) <= width)
        return number.toString();
    const QString bare = WithoutPhoneSeparators(number.toString());
    return bare.size() <= width ? bare : QString();
}

// Where the dial string at the start of the text ends: "+", digits, separators and dial signs.
qsizetype dialStringEnd(QStringView text)
{
    qsizetype end = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isDigit(c) || isDialSign(c) || IsPhoneSeparator(c) || c == QLatin1Char('/')
            || (c == QLatin1Char('+') && digitCount(text.first(i)) == 0))
            end = i + 1;
        else
            break;
    }
    // Separators and an opening bracket at the end belong to what follows.
    while (end > 0 && !isDigit(text[end - 1]) && !isDialSign(text[end - 1]))
        --end;
    return end;
}

// The first number of a dial string that holds more: before its first pause, or, when it
// starts with seven digits or more written without blanks, before the blank after them.
QStringView firstNumber(QStringView dial)
{
    for (qsizetype i = 0; i < dial.size(); ++i) {
        if (isPause(dial[i]))
            return dial.first(i).trimmed();
        if (dial[i].isSpace()) {
            const QStringView rest = dial.sliced(i).trimmed();
            const bool second = digitCount(dial.first(i)) >= 7 && digitCount(rest) >= 7
                                && (isDigit(rest.front()) || rest.front() == QLatin1Char('+'));
            return second ? dial.first(i) : dial;
        }
    }
    return dial;
}

// The first of several numbers a slash stands between ("13812345678/13987654321"): only
// when every part is a whole number on its own. Otherwise the slash is part of one number,
// as Europeans write an area code ("030/1234567", "034441/ 2 22 67"), and the whole is kept.
QStringView beforeSlash(QStringView dial)
{
    constexpr int wholeNumberDigits = 7;  // a local number without its area code has seven or more
    if (!dial.contains(QLatin1Char('/')))
        return dial;
    for (const QStringView part : dial.tokenize(QLatin1Char('/'))) {
        if (digitCount(part) < wholeNumberDigits)
            return dial;
    }
    return dial.first(dial.indexOf(QLatin1Char('/'))).trimmed();
}

}  // namespace

QString WithoutPhoneSeparators(const QString& phone)
{
    QString kept;
    kept.reserve(phone.size());
    for (const QChar c : phone)
        if (!IsPhoneSeparator(c))
            kept += c;
    return kept;
}

void AppendPhoneDigits(QStringView phone, QString& out)
{
    // Written in place, one resize for the number rather than one append a digit.
    const qsizetype start = out.size();
    out.resize(start + phone.size());
    char16_t* const digits = reinterpret_cast<char16_t*>(out.data()) + start;
    qsizetype count = 0;
    for (const QChar c : phone)
        if (isDigit(c))
            digits[count++] = c.unicode() >= 0xFF10 ? char16_t(u'0' + (c.unicode() - 0xFF10)) : c.unicode();
    const QStringView written(digits, count);
    qsizetype from = 0;
    for (const QLatin1StringView prefix : {QLatin1StringView("0086"), QLatin1StringView("86")}) {
        if (written.startsWith(prefix) && count - prefix.size() >= 10) {
            from = prefix.size();
            break;
        }
    }
    std::copy(digits + from, digits + count, digits);
    out.resize(start + count - from);
}

QString PhoneDigits(const QString& phone)
{
    QString digits;
    digits.reserve(phone.size());
    AppendPhoneDigits(phone, digits);
    return digits;
}

PhoneColumnFit FitPhoneColumn(const QString& text, int width)
{
    const QStringView all = QStringView(text).trimmed();
    const QStringView dial = beforeSlash(all.first(dialStringEnd(all)));
    if (digitCount(dial) == 0)
        return {};
    const bool whole = dial.size() == all.size();
    QString number = fitted(dial, width);
    if (!number.isEmpty())
        return {number, whole};
    const QStringView first = firstNumber(dial);
    if (first.size() < dial.size() && digitCount(first) > 0)
        return {fitted(first, width), false};
    return {};
}

bool isChineseMobileNumber(const QString& phone)
{
    QString digits;
    bool plus = false;
    for (const QChar c : phone) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
        else if (c == QLatin1Char('+') && digits.isEmpty() && !plus)
            plus = true;
        else if (!IsPhoneSeparator(c))
            return false;
    }
    if (plus) {
        if (!digits.startsWith(QLatin1String("86")))
            return false;
        digits.remove(0, 2);
    } else if (digits.startsWith(QLatin1String("0086"))) {
        digits.remove(0, 4);
    }
    return digits.size() == 11 && digits[0] == QLatin1Char('1');
}
