#pragma once
// Contacts printed as list and find print them: aligned for a person at a
// terminal, tab-separated for a program; with --pinyin a last column holds
// each name's pinyin.

#include "book/BookFile.h"
#include "book/Console.h"

#include <QList>

// Any table the same way: a header row, then the rows.
void PrintTable(Console& console, const QStringList& header, const QList<QStringList>& rows);

// With numbers (one per contact), a first column 编号 holds them.
void PrintContacts(Console& console, const QList<ContactTexts>& contacts, bool withPinyin,
                   const QList<qint64>* numbers = nullptr);
