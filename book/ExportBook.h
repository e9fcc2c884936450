#pragma once
// Every contact of the book, in table order, written to a file in one export
// format: the same for the export command and the tools window.

#include "exchange/Formats.h"

#include <QString>

struct BookRun;

// Writes the file whole or not at all and answers the report's line.
// Raises EDatabaseError or ExchangeError; the target is then as it was.
// With a run, only after its login password opened the book (see BookFile).
// leftOutListed: where the contacts a format leaves out are listed (the command line's by default).
QString ExportBook(const QString& bookPath, const QString& target, const ExportFormat& format, BookRun* gate = nullptr,
                   const QString& leftOutListed = QStringLiteral("birthdays --not-understood 列出它们"));
