#pragma once
// Contacts from a CSV file: our own export, Excel's, Google's and Outlook's.

#include "exchange/ContactDraft.h"

#include <QByteArray>
#include <QString>

// ExchangeError when the file cannot be read or its header names no column we know.
DraftSet readCsvFile(const QString& path);
// The same on bytes in memory; fileName only names the file in messages.
DraftSet readCsvBytes(const QByteArray& bytes, const QString& fileName);
// The file read once, in pieces, each draft handed to sink as soon as its row
// is read; returns the notes about the whole file.
QStringList streamCsvFile(const QString& path, DraftSink& sink);
