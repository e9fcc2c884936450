#pragma once
// Contacts from an .xls file: the window's own export (a bare BIFF stream in
// GBK) or a workbook saved by Excel or LibreOffice (OLE2, read with FreeXL).
// The first sheet's first row with text is the header. An .xlsx workbook
// saved under the name .xls is read as what it is.

#include "exchange/ContactDraft.h"

#include <QByteArray>
#include <QString>

DraftSet readXlsFile(const QString& path);
// The same on bytes in memory (a workbook goes through a temporary file, as FreeXL reads only files).
DraftSet readXlsBytes(const QByteArray& bytes, const QString& fileName);
// The same handing each draft to sink as soon as its row is taken; they return the notes about the whole file.
QStringList streamXlsFile(const QString& path, DraftSink& sink);
QStringList streamXlsBytes(const QByteArray& bytes, const QString& fileName, DraftSink& sink);
