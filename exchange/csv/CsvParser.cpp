#include "CsvParser.h"

QChar detectCsvSeparator(const QString& text)
{
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            break;
        else if (c == QLatin1Char(','))
            ++commas;
        else if (c == QLatin1Char(';'))
            ++semicolons;
        else if (c == QLatin1Char('\t'))
            ++tabs;
    }
    if (tabs > commas && tabs >= semicolons)
        return QLatin1Char('\t');
    if (semicolons > commas)
        return QLatin1Char(';');
    return QLatin1Char(',');
}

SheetRows parseCsv(const QString& text)
{
    const QChar separator = detectCsvSeparator(text);
    SheetRows sheet;
    SheetRow row;
    QString field;
    int line = 1;
    bool fieldStarted = false;  // something of the record was read: a blank line is no record
    row.line = 1;

    auto endField = [&] {
        row.cells.append({static_cast<int>(row.cells.size()), field});
        field.clear();
    };
    auto endRecord = [&] {
        if (fieldStarted) {
            endField();
            sheet.rows.append(std::move(row));
        }
        row = SheetRow();
        fieldStarted = false;
    };

    const QChar* p = text.constData();
    const QChar* const end = p + text.size();
    while (p < end) {
        if (!fieldStarted)
            row.line = line;
        const QChar c = *p;
        if (c == QLatin1Char('"') && field.isEmpty()) {
            // A quoted field: runs to the quote not followed by another quote.
            const int startLine = line;
            fieldStarted = true;
            ++p;
            bool closed = false;
            while (p < end) {
                if (*p == QLatin1Char('"')) {
                    if (p + 1 < end && p[1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    closed = true;
                    break;
                }
                if (*p == QLatin1Char('\n') || (*p == QLatin1Char('\r') && (p + 1 >= end || p[1] != QLatin1Char('\n'))))
                    ++line;
                field += *p++;
            }
            if (!closed) {
                sheet.failures.append({row.line, QStringLiteral("第%1行起的引号没有闭合,此后的内容无法读取").arg(startLine)});
                return sheet;
            }
            // Text between the closing quote and the separator is kept as it stands.
            while (p < end && *p != separator && *p != QLatin1Char('\n') && *p != QLatin1Char('\r'))
                field += *p++;
            continue;
        }
        if (c == separator) {
            fieldStarted = true;
            endField();
            ++p;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            p += (c == QLatin1Char('\r') && p + 1 < end && p[1] == QLatin1Char('\n')) ? 2 : 1;
            endRecord();
            ++line;
        } else {
            fieldStarted = true;
            field += c;
            ++p;
        }
    }
    endRecord();
    return sheet;
}
