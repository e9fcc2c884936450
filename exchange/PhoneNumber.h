#pragma once
// What a telephone number is, whatever separators it was typed with, and what
// of a phone text the 电话 column may hold. The vCard and the spreadsheet
// importers share these rules.

#include <QString>

// An 11-digit number starting with 1, optionally after +86 or 0086; blanks,
// dashes, dots and brackets between the digits do not count.
bool isChineseMobileNumber(const QString& phone);

// A phone number without blanks, dashes, dots and brackets.
QString WithoutPhoneSeparators(const QString& phone);

// The digits numbers are compared by: separators ignored, and a leading +86 or
// 0086 dropped when a whole number follows it.
QString PhoneDigits(const QString& phone);
// The same appended to out, which a caller reuses to spare an allocation a number.
void AppendPhoneDigits(QStringView phone, QString& out);

// What the 电话 column holds of a phone text: the whole number it starts with
// (dial pauses "p", "w", "," and "*", "#" included), as written when that fits
// the width, else without separators when that fits; a second number after a
// blank or a slash (when each part is a whole number), an extension (";ext=",
// "x", "转"), a remark or anything else never counts; a slash inside one
// number ("030/1234567") is part of it. Empty when no whole number fits: a prefix of a number is never taken.
struct PhoneColumnFit {
    QString number;          // within width characters, or empty
    bool wholeText = false;  // the text is that number and nothing else
};
PhoneColumnFit FitPhoneColumn(const QString& text, int width);
