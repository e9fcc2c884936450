#include "VCardDate.h"

#include "exchange/birthday/Birthday.h"

#include <QRegularExpression>

QString birthdayAsVCardDate(const QString& typed)
{
    const std::optional<Birthday> b = ReadBirthday(typed);
    if (!b || b->isLunar())
        return QString();
    const QString monthDay = QString::asprintf("%02d%02d", b->month, b->day);
    if (b->year == 0)
        return u"--"_qs + monthDay;
    return QString::asprintf("%04d-%02d-%02d", b->year, b->month, b->day);
}

VCard30Date birthdayAsVCard30Date(const QString& typed)
{
    const QString date = birthdayAsVCardDate(typed);
    if (!date.startsWith(u"--"_qs))
        return {QByteArray(), date};
    return {";X-APPLE-OMIT-YEAR=" + QByteArray::number(AppleNoYear),
            QString::number(AppleNoYear) + u'-' + date.mid(2, 2) + u'-' + date.mid(4, 2)};
}

QString birthdayFromVCardDate(const QString& value, const QString& omittedYear)
{
    // The date of a date and time; the placeholder year becomes vCard's "no year".
    static const QRegularExpression date(QStringLiteral("^(\\d{4})?(-?\\d\\d-?\\d\\d)(?:T[0-9:.,Z+-]*)?$"));
    static const QRegularExpression monthDay(QStringLiteral("^--\\d\\d-?\\d\\d$"));
    const QString trimmed = value.trimmed();
    QString dateOnly;
    if (const QRegularExpressionMatch m = date.match(trimmed); m.hasMatch() && m.hasCaptured(1)) {
        const bool placeholder = !omittedYear.isEmpty() && omittedYear.trimmed().toInt() == m.capturedView(1).toInt();
        dateOnly = placeholder ? u"--"_qs + m.captured(2).remove(u'-') : m.captured(1) + m.captured(2);
    } else if (monthDay.match(trimmed).hasMatch()) {
        dateOnly = trimmed;
    }
    const std::optional<Birthday> b = ReadBirthday(dateOnly);
    return b && !b->isLunar() ? BirthdayText(*b) : value;
}
