#pragma once
// Whole files in and out for the spreadsheet formats. Reading refuses what is
// not a readable file; writing goes to a temporary file beside the target that
// replaces it only when complete, so a failed export leaves no half file.

#include <QByteArray>
#include <QString>
#include <functional>

// The file's bytes; ExchangeError when it cannot be read or is larger than any book.
QByteArray readSheetFile(const QString& path);

// Calls write with the path of a fresh temporary file in the target's folder,
// then moves it over path. ExchangeError (naming path) when either fails; the
// temporary file is removed whatever happens.
void writeSheetFileVia(const QString& path, const std::function<void(const QString& temporaryPath)>& write);
void writeSheetFile(const QString& path, const QByteArray& bytes);

QString cannotReadMessage(const QString& path, const QString& why);
