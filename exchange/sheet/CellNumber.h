#pragma once
// Numbers of a spreadsheet as a person sees them in the cell: a phone or QQ
// number stored as a number reads 13800138000, never 1.38E+10, and a date
// cell reads YYYY-MM-DD.

#include <QString>

// Whole numbers with all their digits; other numbers with up to 15 significant
// digits, never with an exponent; -0 reads 0. NaN and infinities read empty.
QString numberText(double value);

// A date serial of the 1900 system (Excel's leap year 1900 included) or of the
// 1904 system as YYYY-MM-DD, with " HH:MM" (":SS" when set) when it has a time
// of day; a time alone as HH:MM[:SS]. Out-of-range serials read as numberText.
QString serialDateText(double serial, bool system1904);

// True for a number format code that shows a date or a time (y, m, d, h, s
// outside quotes, brackets and escapes), like "yyyy/m/d" or "[$-804]aaaa".
bool isDateFormatCode(const QString& code);
// The built-in format numbers of date and time formats (14-22, 27-36, 45-47, 50-58).
bool isBuiltInDateFormat(int id);
