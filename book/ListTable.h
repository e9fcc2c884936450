#pragma once
// The contacts as list prints them: for a program, tab-separated lines under a
// header of the seven column names; for a person at a terminal, columns
// aligned by how wide the characters show (DisplayWidth: a Chinese character takes two).

#include <QList>
#include <QString>
#include <QStringList>

// Tabs and line breaks inside a value would split its line or column: they show as blanks.
QString OneLine(const QString& value);

QStringList TabSeparated(const QStringList& header, const QList<QStringList>& rows);
QStringList Aligned(const QStringList& header, const QList<QStringList>& rows);
