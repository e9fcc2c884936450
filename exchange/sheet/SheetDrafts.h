#pragma once
// A sheet's rows as contact drafts. The first row with any text is the header
// and decides what every column means (see HeaderMeaning); every later row
// with any text is one draft. A value whose column has no place in the book
// becomes an extra under its header, so nothing is dropped unseen.

#include "exchange/ContactDraft.h"
#include "exchange/sheet/SheetRows.h"

// ExchangeError when the header names none of the columns we know; the message
// lists the columns found.
DraftSet draftsFromSheet(const SheetRows& sheet, const QString& fileName);

// A name put together from its parts: Chinese parts run together family first
// (欧阳 + 修 = 欧阳修), Latin ones given name first with blanks (John Smith).
QString joinNameParts(const QString& family, const QString& middle, const QString& given);
