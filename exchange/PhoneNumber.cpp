#include "PhoneNumber.h"

#include "platform/TextRules.h"

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
