#include "ListTable.h"

#include <algorithm>

namespace {

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF)
           || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF)
           || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F)
           || (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F)
           || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

int DisplayWidth(const QString& text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4())
        width += isWide(c) ? 2 : 1;
    return width;
}

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
