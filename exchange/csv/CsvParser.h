#pragma once
// CSV as RFC 4180 writes it, read leniently: fields in double quotes may hold
// separators, doubled quotes and line breaks; CRLF, LF and CR end a record.
// The separator is ",", or ";" or a tab when the header line holds more of
// those than of commas (outside quotes).

#include "exchange/sheet/SheetRows.h"

#include <QString>

QChar detectCsvSeparator(const QString& text);

// Every record with its first line. An unclosed quote ends the file: that
// record is reported as a failure at its line, not guessed at.
SheetRows parseCsv(const QString& text);
