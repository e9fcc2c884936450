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

enum class Outcome { Taken, NeedMore, Unclosed };

// Walks the text once, piece by piece as the source decodes it; fields without
// quotes are taken as slices, whole. A record the piece ends in is read again
// from its start once the next piece is there.
class CsvScanner {
public:
    CsvScanner(const std::function<bool(QString&)>& more, const std::function<void(SheetRow&&)>& take)
        : more_(more), take_(take)
    {
    }

    int scan()
    {
        final_ = !more_(buffer_);
        separator_ = detectCsvSeparator(buffer_);
        for (;;) {
            p_ = buffer_.constData();
            end_ = p_ + buffer_.size();
            while (p_ < end_) {
                const QChar* start = p_;
                const int startLine = line_;
                const Outcome outcome =
                    isLineEnd(*p_) ? skipBlankLine() : readRecord();  // a blank line holds no record
                if (outcome == Outcome::Unclosed)
                    return unclosedAt_;
                if (outcome == Outcome::NeedMore) {
                    p_ = start;
                    line_ = startLine;
                    break;
                }
            }
            if (final_)
                return 0;
            buffer_.remove(0, p_ - buffer_.constData());
            final_ = !more_(buffer_);
        }
    }

private:
    // A line end at the end of a piece may be a CR whose LF is in the next one.
    bool lineEndMayGoOn() const { return !final_ && *p_ == QLatin1Char('\r') && p_ + 1 == end_; }

    Outcome skipBlankLine()
    {
        if (lineEndMayGoOn())
            return Outcome::NeedMore;
        skipLineEnd();
        return Outcome::Taken;
    }

    void skipLineEnd()
    {
        p_ += (*p_ == QLatin1Char('\r') && p_ + 1 < end_ && p_[1] == QLatin1Char('\n')) ? 2 : 1;
        ++line_;
    }

    // One record up to its line end.
    Outcome readRecord()
    {
        SheetRow row;
        row.line = line_;
        row.cells.reserve(width_);  // records mostly have as many fields as the one before
        for (;;) {
            QString field;
            if (p_ < end_ && *p_ == QLatin1Char('"')) {
                const int opened = line_;
                if (!readQuoted(field)) {
                    if (!final_)
                        return Outcome::NeedMore;
                    unclosedAt_ = opened;
                    return Outcome::Unclosed;
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
        if (!final_ && (p_ == end_ || lineEndMayGoOn()))
            return Outcome::NeedMore;
        width_ = row.cells.size();
        row.lines = line_ - row.line + 1;
        if (p_ < end_)
            skipLineEnd();
        take_(std::move(row));
        return Outcome::Taken;
    }

    // A quoted field: runs to the quote not followed by another; a doubled quote
    // is one quote; text between the closing quote and the separator is kept.
    // False when the piece ends before the field does.
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
            if (p_ == end_ && !final_)
                return false;  // a doubled quote may go on in the next piece
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

    const std::function<bool(QString&)>& more_;
    const std::function<void(SheetRow&&)>& take_;
    QString buffer_;
    const QChar* p_ = nullptr;
    const QChar* end_ = nullptr;
    QChar separator_;
    bool final_ = false;
    int line_ = 1;
    int unclosedAt_ = 0;
    qsizetype width_ = 0;  // fields of the last record
};

}  // namespace

int scanCsv(const std::function<bool(QString&)>& more, const std::function<void(SheetRow&&)>& take)
{
    return CsvScanner(more, take).scan();
}

int scanCsv(const QString& text, const std::function<void(SheetRow&&)>& take)
{
    bool given = false;
    return scanCsv(
        [&](QString& buffer) {
            if (given)
                return false;
            buffer += text;
            given = true;
            return true;
        },
        take);
}
