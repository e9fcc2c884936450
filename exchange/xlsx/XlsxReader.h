#pragma once
// Contacts from the first sheet of an .xlsx workbook (Excel, LibreOffice, our
// own export); its first row with text is the header. An .xls workbook saved
// under the name .xlsx is read as what it is.

#include "exchange/ContactDraft.h"

#include <QByteArray>
#include <QString>

DraftSet readXlsxFile(const QString& path);
DraftSet readXlsxBytes(const QByteArray& bytes, const QString& fileName);
