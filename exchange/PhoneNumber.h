#pragma once
// What a telephone number is, whatever separators it was typed with.

#include <QString>

// An 11-digit number starting with 1, optionally after +86 or 0086; blanks,
// dashes, dots and brackets between the digits do not count.
bool isChineseMobileNumber(const QString& phone);
