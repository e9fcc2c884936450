#include "CellNumber.h"

#include <QDate>
#include <cmath>

QString numberText(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0)
        return QStringLiteral("0");
    if (value == std::trunc(value) && std::fabs(value) < 1e18)
        return QString::number(static_cast<qint64>(value));
    // Up to 15 significant digits, as a spreadsheet keeps them, in plain notation.
    QString text =
        QString::number(value, 'f', std::max(0, 14 - static_cast<int>(std::floor(std::log10(std::fabs(value))))));
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

QString serialDateText(double serial, bool system1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466)  // 9999-12-31 and beyond
        return numberText(serial);
    double whole = std::floor(serial);
    // Seconds of the day, rounded to the second a spreadsheet shows.
    int seconds = static_cast<int>(std::lround((serial - whole) * 86400.0));
    if (seconds >= 86400) {
        whole += 1;
        seconds -= 86400;
    }
    const int hour = seconds / 3600, minute = seconds / 60 % 60, second = seconds % 60;
    QString time;
    if (seconds != 0)
        time = second != 0
                   ? QStringLiteral("%1:%2:%3")
                         .arg(hour, 2, 10, QLatin1Char('0'))
                         .arg(minute, 2, 10, QLatin1Char('0'))
                         .arg(second, 2, 10, QLatin1Char('0'))
                   : QStringLiteral("%1:%2").arg(hour, 2, 10, QLatin1Char('0')).arg(minute, 2, 10, QLatin1Char('0'));
    if (whole == 0 && !system1904)
        return time.isEmpty() ? QStringLiteral("0") : time;
    QDate date;
    if (system1904) {
        date = QDate(1904, 1, 1).addDays(static_cast<qint64>(whole));
    } else if (whole == 60) {
        date = QDate();  // 1900-02-29, which the 1900 system counts and the calendar does not
    } else {
        // Serial 1 is 1900-01-01; the phantom 29 February shifts every later day by one.
        date = QDate(1899, 12, 31).addDays(static_cast<qint64>(whole) - (whole > 60 ? 1 : 0));
    }
    const QString day = date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QStringLiteral("1900-02-29");
    return time.isEmpty() ? day : day + QLatin1Char(' ') + time;
}

bool isBuiltInDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
}

bool isDateFormatCode(const QString& code)
{
    if (code.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
        return false;
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (quoted) {
            quoted = c != QLatin1Char('"');
            continue;
        }
        switch (c.unicode()) {
        case '"': quoted = true; break;
        case '\\':
        case '_':
        case '*': ++i; break;  // the next character is shown as it is (or is padding)
        case '[': {
            // [Red], [$-804] and the like say nothing about dates; [h] and [mm] are elapsed times.
            const qsizetype end = code.indexOf(QLatin1Char(']'), i);
            if (end < 0)
                return false;
            const QString inside = code.mid(i + 1, end - i - 1).toLower();
            if (!inside.isEmpty()
                && (inside[0] == QLatin1Char('h') || inside[0] == QLatin1Char('m') || inside[0] == QLatin1Char('s')))
                return true;
            i = end;
            break;
        }
        default:
            switch (c.toLower().unicode()) {
            case 'y':
            case 'd':
            case 'h':
            case 's':
            case 'm': return true;
            default: break;
            }
        }
    }
    return false;
}
