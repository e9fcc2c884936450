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

namespace {

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

// Walks the text once; fields without quotes are taken as slices, whole.
class CsvScanner {
public:
    CsvScanner(const QString& text, const std::function<void(SheetRow&&)>& take)
        : p_(text.constData()), end_(p_ + text.size()), separator_(detectCsvSeparator(text)), take_(take)
    {
    }

    int scan()
    {
        while (p_ < end_) {
            if (isLineEnd(*p_)) {
                skipLineEnd();  // a blank line holds no record
                continue;
            }
            if (!readRecord())
                return unclosedAt_;
        }
        return 0;
    }

private:
    void skipLineEnd()
    {
        p_ += (*p_ == QLatin1Char('\r') && p_ + 1 < end_ && p_[1] == QLatin1Char('\n')) ? 2 : 1;
        ++line_;
    }

    // One record up to its line end; false when an unclosed quote ends the file.
    bool readRecord()
    {
        SheetRow row;
        row.line = line_;
        for (;;) {
            QString field;
            if (p_ < end_ && *p_ == QLatin1Char('"')) {
                const int opened = line_;
                if (!readQuoted(field)) {
                    unclosedAt_ = opened;
                    return false;
                }
            } else {
                const QChar* start = p_;
                while (p_ < end_ && *p_ != separator_ && !isLineEnd(*p_))
                    ++p_;
                if (p_ > start)
                    field = QString(start, p_ - start);
            }
            row.cells.append({static_cast<int>(row.cells.size()), std::move(field)});
            if (p_ < end_ && *p_ == separator_) {
                ++p_;
                continue;
            }
            break;
        }
        row.lines = line_ - row.line + 1;
        if (p_ < end_)
            skipLineEnd();
        take_(std::move(row));
        return true;
    }
    // A quoted field: runs to the quote not followed by another; a doubled quote
    // is one quote; text between the closing quote and the separator is kept.
    bool readQuoted(QString& field)
    {
        ++p_;
        for (;;) {
            const QChar* start = p_;
            while (p_ < end_ && *p_ != QLatin1Char('"')) {
                if (*p_ == QLatin1Char('\n')
                    || (*p_ == QLatin1Char('\r') && (p_ + 1 >= end_ || p_[1] != QLatin1Char('\n'))))
                    ++line_;
                ++p_;
            }
            field.append(start, p_ - start);
            if (p_ >= end_)
                return false;
            ++p_;  // the quote
            if (p_ < end_ && *p_ == QLatin1Char('"')) {
                field += QLatin1Char('"');
                ++p_;
                continue;
            }
            break;
        }
        const QChar* start = p_;
        while (p_ < end_ && *p_ != separator_ && !isLineEnd(*p_))
            ++p_;
        field.append(start, p_ - start);
        return true;
    }

    const QChar* p_;
    const QChar* const end_;
    const QChar separator_;
    const std::function<void(SheetRow&&)>& take_;
    int line_ = 1;
    int unclosedAt_ = 0;
};

}  // namespace

int scanCsv(const QString& text, const std::function<void(SheetRow&&)>& take)
{
    return CsvScanner(text, take).scan();
}
