#pragma once
// Contacts from the first sheet of an .xlsx workbook (Excel, LibreOffice, our
// own export); its first row with text is the header. An .xls workbook saved
// under the name .xlsx is read as what it is.

#include "exchange/ContactDraft.h"

#include <QByteArray>
#include <QString>

DraftSet readXlsxFile(const QString& path);
DraftSet readXlsxBytes(const QByteArray& bytes, const QString& fileName);
// The same handing each draft to sink as soon as its row is read; they return the notes about the whole file.
QStringList streamXlsxFile(const QString& path, DraftSink& sink);
QStringList streamXlsxBytes(const QByteArray& bytes, const QString& fileName, DraftSink& sink);
