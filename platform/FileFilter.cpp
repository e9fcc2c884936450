#include "FileFilter.h"

QList<FileFilterEntry> ParseWindowsFilter(const QString& filter)
{
    QList<FileFilterEntry> entries;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        entries.append({parts[i], parts[i + 1].split(u';', Qt::SkipEmptyParts)});
    return entries;
}

QString QtNameFilter(const FileFilterEntry& entry)
{
    return entry.description + QStringLiteral(" (") + entry.patterns.join(u' ') + u')';
}
