#pragma once
// Birthdays between the book's free text and a vCard's BDAY date. Both ways
// the text is read by the one birthday parser (exchange/birthday/Birthday.h).

#include <QString>

// A Gregorian birthday as typed (1990-01-02, 1990/1/2, 1990年1月2日, or month
// and day alone: 1-2, 1月2日) as a BDAY value: "1990-01-02", or "--0102"
// without a year. Empty when the text is no certain Gregorian date.
QString birthdayAsVCardDate(const QString& typed);

// A BDAY value (1990-01-02, 19900102, with or without a time; --0102, --01-02)
// as the book writes birthdays: "1990-01-02", or "01-02" when the card has no
// year. A year equal to omittedYear (a writer's placeholder for "no year")
// counts as none. Anything that is no such date comes back unchanged.
QString birthdayFromVCardDate(const QString& value, const QString& omittedYear = QString());
