#pragma once
// The parts of an .xlsx workbook the first sheet's cells need: where that
// sheet is, its shared strings, which cell styles show dates, and the date system.

#include "exchange/xlsx/ZipArchive.h"

#include <QList>
#include <QString>
#include <QStringList>

struct XlsxParts {
    QString sheetPath;          // the first sheet's part, "xl/worksheets/sheet1.xml"
    QStringList sharedStrings;  // by index
    QList<bool> dateStyles;     // by cell style (xf) index: true when it shows a date or time
    bool date1904 = false;
};

// ExchangeError when the workbook has no sheet or its parts are not readable XML.
XlsxParts readXlsxParts(const ZipArchive& archive, const QString& fileName);

// A string as the file stores it, with _xHHHH_ escapes (control characters) decoded.
QString unescapeXlsxString(const QString& text);
// True when an escape _xHHHH_ starts at index i.
bool isXlsxEscapeAt(const QString& text, qsizetype i);
