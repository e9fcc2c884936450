#pragma once
// Birthdays between the book's free text and a vCard's BDAY date.

#include <QString>

// The birthday as typed (1990-01-02, 1990/1/2, 1990.1.2, 19900102, 1990年1月2日,
// or month and day alone: 1-2, 1月2日) as a BDAY value: "1990-01-02", or
// "--0102" without a year. Empty when the text is no valid date.
QString birthdayAsVCardDate(const QString& typed);

// A BDAY value (1990-01-02, 19900102, with or without a time; --0102, --01-02)
// as the book writes birthdays: "1990-01-02", or "01-02" when the card has no
// year. A year equal to omittedYear (a writer's placeholder for "no year")
// counts as none. Anything that is no date comes back unchanged.
QString birthdayFromVCardDate(const QString& value, const QString& omittedYear = QString());
