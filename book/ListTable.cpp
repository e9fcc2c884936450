#include "ListTable.h"

#include "platform/TextRules.h"

#include <algorithm>

QString OneLine(const QString& value)
{
    QString line = value;
    for (QChar& c : line)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    return line;
}

QStringList TabSeparated(const QStringList& header, const QList<QStringList>& rows)
{
    QStringList lines{header.join(u'\t')};
    for (const QStringList& row : rows) {
        QStringList cells;
        for (const QString& value : row)
            cells << OneLine(value);
        lines << cells.join(u'\t');
    }
    return lines;
}

QStringList Aligned(const QStringList& header, const QList<QStringList>& rows)
{
    QList<int> widths;
    for (const QString& name : header)
        widths << DisplayWidth(name);
    for (const QStringList& row : rows)
        for (int i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], DisplayWidth(OneLine(row[i])));
    const auto line = [&](const QStringList& cells) {
        QString text;
        for (int i = 0; i < cells.size(); ++i) {
            const QString value = OneLine(cells[i]);
            text += value;
            if (i + 1 < cells.size())
                text += QString(widths[i] - DisplayWidth(value) + 2, u' ');
        }
        return text;
    };
    QStringList lines{line(header)};
    for (const QStringList& row : rows)
        lines << line(row);
    return lines;
}
