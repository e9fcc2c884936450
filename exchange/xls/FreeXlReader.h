#pragma once
// Workbooks that Excel, LibreOffice and other writers save as .xls (an OLE2
// container holding BIFF5 or BIFF8), read with FreeXL: the first sheet, every
// cell as it is displayed (numbers without exponent, dates as YYYY-MM-DD).

#include "exchange/sheet/SheetRows.h"

#include <QByteArray>
#include <QString>

// True when the bytes start with the OLE2 container's signature.
bool looksLikeOle2(const QByteArray& bytes);
// ExchangeError (naming fileName) when FreeXL cannot read the workbook.
SheetRows readOle2Workbook(const QString& path, const QString& fileName);
