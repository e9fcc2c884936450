#pragma once
// Windows dialog filters ("description|pattern;pattern|...") for Qt's file dialogs.

#include <QString>
#include <QStringList>

struct FileFilterEntry {
    QString description;   // what the dialog shows
    QStringList patterns;  // "*.xls", ...
};

// Splits "desc|pat;pat|desc|pat" into its entries; a description without a pattern part is dropped.
QList<FileFilterEntry> ParseWindowsFilter(const QString& filter);

// The Qt name filter for an entry: "description (pat pat)". Qt separates patterns by blanks.
QString QtNameFilter(const FileFilterEntry& entry);
