#pragma once
// The cells of one .xlsx worksheet as they are displayed: shared and inline
// strings, numbers without exponent (a phone number stored as a number reads
// 13800138000), dates as YYYY-MM-DD, booleans TRUE and FALSE, errors as written.

#include "exchange/sheet/SheetRows.h"
#include "exchange/xlsx/XlsxParts.h"

#include <QByteArray>
#include <functional>

// The rows of a sheet, read with the fast reader where it can and with
// QXmlStreamReader where it gives up. ExchangeError (naming fileName) when the
// sheet is not readable XML.
SheetRows readXlsxSheet(const QByteArray& sheetXml, const XlsxParts& parts, const QString& fileName);

// The same with the fast reader, handing each row to take as it is read, so a
// large sheet is never held whole. False when it gave up: the rows it handed
// on so far are to be forgotten, and the sheet read fully.
bool readXlsxSheetLightly(const QByteArray& sheetXml, const XlsxParts& parts,
                          const std::function<void(SheetRow&&)>& take);
// The same with QXmlStreamReader: ExchangeError when the sheet is not readable XML.
void readXlsxSheetFully(const QByteArray& sheetXml, const XlsxParts& parts, const QString& fileName,
                        const std::function<void(SheetRow&&)>& take);

// "AB12" -> column 27 (0-based); -1 when the reference names no column.
int xlsxColumnOf(QStringView reference);
