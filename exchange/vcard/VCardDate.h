#pragma once
// Birthdays between the book's free text and a vCard's BDAY date. Both ways
// the text is read by the one birthday parser (exchange/birthday/Birthday.h).

#include <QByteArray>
#include <QString>

// A Gregorian birthday as typed (1990-01-02, 1990/1/2, 1990年1月2日, or month
// and day alone: 1-2, 1月2日) as a BDAY value: "1990-01-02", or "--0102"
// without a year. Empty when the text is no certain Gregorian date.
QString birthdayAsVCardDate(const QString& typed);

// The same as version 3.0 writes it: 3.0 has no date without a year, so, as
// Apple does, the year is its placeholder and a parameter says so
// ("X-APPLE-OMIT-YEAR=1604", value "1604-01-02"). parameters is empty for a
// date with its year; value is empty when the text is no certain Gregorian date.
struct VCard30Date {
    QByteArray parameters;  // ";X-APPLE-OMIT-YEAR=1604" or empty
    QString value;
};
VCard30Date birthdayAsVCard30Date(const QString& typed);

// A BDAY value (1990-01-02, 19900102, with or without a time; --0102, --01-02)
// as the book writes birthdays: "1990-01-02", or "01-02" when the card has no
// year. A year equal to omittedYear (a writer's placeholder for "no year")
// counts as none, and so does Apple's 1604 always. Anything that is no such date comes back unchanged.
QString birthdayFromVCardDate(const QString& value, const QString& omittedYear = QString());
