#pragma once
// Contacts from a CSV file: our own export, Excel's, Google's and Outlook's.

#include "exchange/ContactDraft.h"

#include <QByteArray>
#include <QString>

// ExchangeError when the file cannot be read or its header names no column we know.
DraftSet readCsvFile(const QString& path);
// The same on bytes in memory; fileName only names the file in messages.
DraftSet readCsvBytes(const QByteArray& bytes, const QString& fileName);
