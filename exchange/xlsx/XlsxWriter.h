#pragma once
// Contacts as an .xlsx workbook, written with libxlsxwriter: one sheet 通讯录,
// the header row bold and frozen, every value a text cell in text format (so
// leading zeros and long numbers survive in any spreadsheet), column widths
// that fit the texts.

#include "exchange/ContactDraft.h"

#include <QList>
#include <QString>

// Writes the file anew (the caller makes it atomic); ExchangeError when it cannot.
void writeXlsxFile(const QString& path, const QList<StoredContact>& contacts);

// The width a column needs for its texts, in the sheet's character units:
// the text's DisplayWidth (Chinese, Japanese and Korean characters take two); a little room
// beside, and no wider than a screenful.
double xlsxColumnWidth(const QList<QString>& texts);
