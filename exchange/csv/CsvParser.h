#pragma once
// CSV as RFC 4180 writes it, read leniently: fields in double quotes may hold
// separators, doubled quotes and line breaks; CRLF, LF and CR end a record.
// The separator is ",", or ";" or a tab when the header line holds more of
// those than of commas (outside quotes).

#include "exchange/sheet/SheetRows.h"

#include <QString>
#include <functional>

QChar detectCsvSeparator(const QString& text);

// Hands every record to take as it is read, with its first line and the
// lines it takes. more appends the next piece of the text to its argument and
// returns false when there is none, so a large file is never decoded whole.
// Returns the line where a quote opens that is never closed (the rest of the
// file would be one field), after the records before it; 0 when every quote
// closes.
int scanCsv(const std::function<bool(QString&)>& more, const std::function<void(SheetRow&&)>& take);
// The same on a whole text.
int scanCsv(const QString& text, const std::function<void(SheetRow&&)>& take);
