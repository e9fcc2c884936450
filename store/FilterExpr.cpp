#include "FilterExpr.h"

#include "platform/TextRules.h"

#include <vector>

// The filter is parsed once when it is set and then run against every record of
// the table, so the tree is built to be cheap per record: literals are folded to
// lower case and like patterns are compiled ahead, and evaluation allocates nothing.

namespace {

// -1, 0, 1 like strcmp, ignoring ASCII letter case.
int compareFolded(QStringView value, const QString& foldedLiteral)
{
    const qsizetype n = std::min(value.size(), foldedLiteral.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t a = LowerAscii(value[i].unicode());
        const char16_t b = foldedLiteral[i].unicode();
        if (a != b)
            return a < b ? -1 : 1;
    }
    if (value.size() == foldedLiteral.size())
        return 0;
    return value.size() < foldedLiteral.size() ? -1 : 1;
}

bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Plain decimals ("777", "-1.5") are read by hand: this runs once per record.
// Anything unusual (exponents, "inf") goes to Qt's parser, which refuses what
// is not a number.
bool parseNumber(QStringView text, double* out)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].isSpace())
        ++begin;
    while (end > begin && text[end - 1].isSpace())
        --end;
    text = text.mid(begin, end - begin);
    if (text.isEmpty())
        return false;
    qsizetype i = 0;
    const bool negative = text[0] == u'-';
    if (negative || text[0] == u'+')
        ++i;
    double value = 0;
    qsizetype digits = 0;
    for (; i < text.size() && isAsciiDigit(text[i].unicode()); ++i, ++digits)
        value = value * 10 + (text[i].unicode() - u'0');
    if (i < text.size() && text[i] == u'.') {
        double scale = 1;
        for (++i; i < text.size() && isAsciiDigit(text[i].unicode()); ++i, ++digits) {
            scale /= 10;
            value += (text[i].unicode() - u'0') * scale;
        }
    }
    if (i == text.size() && digits > 0 && digits <= 15) {
        *out = negative ? -value : value;
        return true;
    }
    const char16_t c = i < text.size() ? text[i].unicode() : 0;
    if (!(c == u'e' || c == u'E' || c == u'i' || c == u'I' || c == u'n' || c == u'N' || digits > 15))
        return false;
    bool ok = false;
    *out = text.toDouble(&ok);
    return ok;
}

// ---------------------------------------------------------------- like patterns

// Only % and * are wildcards, each standing for any run of characters; every
// other character, _ and ? included, stands for itself.
// The pattern is kept as the literal pieces between its runs of % and *: the first
// piece must sit at the start of the value, the last at its end, and each piece in
// between is taken at its leftmost place after the one before, which is enough
// because the runs around it can absorb anything.
class LikePattern {
public:
    explicit LikePattern(QStringView pattern)
    {
        Piece piece;
        bool sawRun = false;
        for (QChar qc : pattern) {
            const char16_t c = qc.unicode();
            if (c == u'%' || c == u'*') {
                if (!sawRun)
                    anchoredStart_ = !piece.empty();
                sawRun = true;
                if (!piece.empty())
                    pieces_.push_back(std::move(piece));
                piece = Piece();
                anchoredEnd_ = false;
                continue;
            }
            piece.push_back(LowerAscii(c));
            anchoredEnd_ = true;
        }
        if (!piece.empty())
            pieces_.push_back(std::move(piece));
        hasRun_ = sawRun;
        if (!sawRun)
            anchoredStart_ = anchoredEnd_ = true;
    }

    bool Matches(QStringView value) const
    {
        if (!hasRun_)
            return pieces_.empty() ? value.isEmpty()
                                   : value.size() == qsizetype(pieces_[0].size()) && matchesAt(pieces_[0], value, 0);
        size_t first = 0;
        size_t end = pieces_.size();
        qsizetype pos = 0;
        if (anchoredStart_) {
            const Piece& p = pieces_[first++];
            if (qsizetype(p.size()) > value.size() || !matchesAt(p, value, 0))
                return false;
            pos = p.size();
        }
        if (anchoredEnd_ && end > first)
            --end;
        for (size_t k = first; k < end; ++k) {
            const qsizetype at = find(pieces_[k], value, pos);
            if (at < 0)
                return false;
            pos = at + pieces_[k].size();
        }
        if (anchoredEnd_ && end < pieces_.size()) {
            const Piece& p = pieces_.back();
            const qsizetype at = value.size() - p.size();
            return at >= pos && matchesAt(p, value, at);
        }
        return true;
    }

private:
    using Piece = std::u16string;  // folded

    static bool matchesAt(const Piece& piece, QStringView value, qsizetype at)
    {
        for (size_t i = 0; i < piece.size(); ++i)
            if (piece[i] != LowerAscii(value[at + qsizetype(i)].unicode()))
                return false;
        return true;
    }

    // Leftmost place from `from` on where the piece matches, or -1.
    static qsizetype find(const Piece& piece, QStringView value, qsizetype from)
    {
        const qsizetype last = value.size() - qsizetype(piece.size());
        const char16_t head = piece.front();
        const bool headIsLetter = head >= u'a' && head <= u'z';
        for (qsizetype at = from; at <= last; ++at) {
            if (!headIsLetter) {
                // Not a letter: Qt's character search is much faster than a loop.
                at = value.indexOf(QChar(head), at);
                if (at < 0 || at > last)
                    return -1;
            }
            if (matchesAt(piece, value, at))
                return at;
        }
        return -1;
    }

    std::vector<Piece> pieces_;
    bool anchoredStart_ = false;
    bool anchoredEnd_ = false;
    bool hasRun_ = false;
};

// ---------------------------------------------------------------- the tree

enum class Op { Eq, Ne, Lt, Gt, Le, Ge, Like };

bool holds(Op op, int cmp)
{
    switch (op) {
    case Op::Eq: return cmp == 0;
    case Op::Ne: return cmp != 0;
    case Op::Lt: return cmp < 0;
    case Op::Gt: return cmp > 0;
    case Op::Le: return cmp <= 0;
    case Op::Ge: return cmp >= 0;
    case Op::Like: break;
    }
    return false;
}

class MatchAll final : public FilterExpr {
public:
    bool Matches(const FilterRow&) const override { return true; }
};

// All the conditions of one run of "and" (or of "or") side by side, not as a
// chain of pairs: a search with thousands of them must not recurse that deep,
// neither when it is evaluated nor when it is destroyed.
class Junction final : public FilterExpr {
public:
    explicit Junction(bool isAnd) : isAnd_(isAnd) {}
    void Add(std::unique_ptr<FilterExpr> part) { parts_.push_back(std::move(part)); }
    bool Matches(const FilterRow& row) const override
    {
        // "and" stops at the first false part, "or" at the first true one.
        for (const auto& part : parts_)
            if (part->Matches(row) != isAnd_)
                return !isAnd_;
        return isAnd_;
    }

private:
    bool isAnd_;
    std::vector<std::unique_ptr<FilterExpr>> parts_;
};

// A null value satisfies no comparison, <> included, as in SQL.
class TextCondition final : public FilterExpr {
public:
    TextCondition(int column, Op op, QStringView literal) : column_(column), op_(op), folded_(LowerAscii(literal)) {}
    bool Matches(const FilterRow& row) const override
    {
        if (row.IsNull(column_))
            return false;
        return holds(op_, compareFolded(row.Text(column_), folded_));
    }

private:
    int column_;
    Op op_;
    QString folded_;
};

class LikeCondition final : public FilterExpr {
public:
    LikeCondition(int column, QStringView pattern) : column_(column), pattern_(pattern) {}
    bool Matches(const FilterRow& row) const override
    {
        return !row.IsNull(column_) && pattern_.Matches(row.Text(column_));
    }

private:
    int column_;
    LikePattern pattern_;
};

// A number against a text column: numerically when the text reads as a number,
// otherwise as the text the number was written as.
class NumberCondition final : public FilterExpr {
public:
    NumberCondition(int column, Op op, double number, QStringView written)
        : column_(column), op_(op), number_(number), folded_(LowerAscii(written))
    {
    }
    bool Matches(const FilterRow& row) const override
    {
        if (row.IsNull(column_))
            return false;
        const QStringView text = row.Text(column_);
        double value = 0;
        if (parseNumber(text, &value))
            return holds(op_, value < number_ ? -1 : (value > number_ ? 1 : 0));
        return holds(op_, compareFolded(text, folded_));
    }

private:
    int column_;
    Op op_;
    double number_;
    QString folded_;
};

// ---------------------------------------------------------------- tokens

enum class Tok { End, Word, Bracketed, Number, String, LParen, RParen, Compare };

struct Token {
    Tok kind = Tok::End;
    QString text;  // word, bracketed name, number as written, unescaped string
    Op op = Op::Eq;
    qsizetype at = 0;
};

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

class Lexer {
public:
    explicit Lexer(const QString& text) : s_(text) {}

    Token Next()
    {
        while (i_ < s_.size() && (IsPadding(s_[i_].unicode()) || s_[i_].isSpace()))
            ++i_;
        Token t;
        t.at = i_;
        if (i_ >= s_.size())
            return t;
        const QChar c = s_[i_];
        if (c == u'(') {
            ++i_;
            t.kind = Tok::LParen;
        } else if (c == u')') {
            ++i_;
            t.kind = Tok::RParen;
        } else if (c == u'\'') {
            t.kind = Tok::String;
            t.text = readString();
        } else if (c == u'[') {
            t.kind = Tok::Bracketed;
            t.text = readBracketed();
        } else if (c == u'=' || c == u'<' || c == u'>') {
            t.kind = Tok::Compare;
            t.op = readOperator();
        } else if (startsNumber()) {
            t.kind = Tok::Number;
            t.text = readNumber();
        } else if (isWordChar(c)) {
            t.kind = Tok::Word;
            const qsizetype start = i_;
            while (i_ < s_.size() && isWordChar(s_[i_]))
                ++i_;
            t.text = s_.mid(start, i_ - start);
        } else {
            fail(QStringLiteral("unexpected character '%1'").arg(c));
        }
        return t;
    }

    [[noreturn]] void fail(const QString& what) const
    {
        throw FilterSyntaxError(QStringLiteral("%1 at %2").arg(what).arg(i_).toStdString());
    }

private:
    QString readString()
    {
        QString out;
        ++i_;  // opening apostrophe
        for (;;) {
            if (i_ >= s_.size())
                fail(QStringLiteral("unterminated quoted value"));
            if (s_[i_] == u'\'') {
                if (i_ + 1 < s_.size() && s_[i_ + 1] == u'\'') {
                    out += u'\'';
                    i_ += 2;
                    continue;
                }
                ++i_;
                return out;
            }
            out += s_[i_++];
        }
    }

    QString readBracketed()
    {
        const qsizetype start = ++i_;
        while (i_ < s_.size() && s_[i_] != u']')
            ++i_;
        if (i_ >= s_.size())
            fail(QStringLiteral("unterminated bracketed name"));
        return s_.mid(start, i_++ - start);
    }

    Op readOperator()
    {
        const QChar c = s_[i_++];
        const QChar d = i_ < s_.size() ? s_[i_] : QChar();
        if (c == u'=')
            return Op::Eq;
        if (c == u'<') {
            if (d == u'>') {
                ++i_;
                return Op::Ne;
            }
            if (d == u'=') {
                ++i_;
                return Op::Le;
            }
            return Op::Lt;
        }
        if (d == u'=') {
            ++i_;
            return Op::Ge;
        }
        return Op::Gt;
    }

    static bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

    bool startsNumber() const
    {
        qsizetype j = i_;
        if (s_[j] == u'-' || s_[j] == u'+')
            ++j;
        if (j < s_.size() && s_[j] == u'.')
            ++j;
        return j < s_.size() && isDigit(s_[j]);
    }

    QString readNumber()
    {
        const qsizetype start = i_;
        if (s_[i_] == u'-' || s_[i_] == u'+')
            ++i_;
        while (i_ < s_.size() && isDigit(s_[i_]))
            ++i_;
        if (i_ < s_.size() && s_[i_] == u'.') {
            ++i_;
            while (i_ < s_.size() && isDigit(s_[i_]))
                ++i_;
        }
        if (i_ < s_.size() && (s_[i_] == u'e' || s_[i_] == u'E')) {
            qsizetype j = i_ + 1;
            if (j < s_.size() && (s_[j] == u'-' || s_[j] == u'+'))
                ++j;
            if (j < s_.size() && isDigit(s_[j])) {
                i_ = j;
                while (i_ < s_.size() && isDigit(s_[i_]))
                    ++i_;
            }
        }
        // "12abc" is neither a number nor a name.
        if (i_ < s_.size() && isWordChar(s_[i_]))
            fail(QStringLiteral("malformed number"));
        return s_.mid(start, i_ - start);
    }

    const QString& s_;
    qsizetype i_ = 0;
};

// ---------------------------------------------------------------- parser

bool isKeyword(const Token& t, QLatin1StringView word)
{
    return t.kind == Tok::Word && LowerAscii(t.text) == word;
}

class Parser {
public:
    Parser(const QString& text, const QStringList& columns, const QList<bool>& isBlob)
        : lex_(text), columns_(columns), isBlob_(isBlob)
    {
        advance();
    }

    std::unique_ptr<FilterExpr> ParseAll()
    {
        auto e = parseOr();
        if (tok_.kind != Tok::End)
            lex_.fail(QStringLiteral("unexpected text after condition"));
        return e;
    }

private:
    void advance() { tok_ = lex_.Next(); }

    std::unique_ptr<FilterExpr> parseOr()
    {
        return parseJunction(false, QLatin1StringView("or"), [this] { return parseAnd(); });
    }

    std::unique_ptr<FilterExpr> parseAnd()
    {
        return parseJunction(true, QLatin1StringView("and"), [this] { return parsePrimary(); });
    }

    template <typename ParsePart>
    std::unique_ptr<FilterExpr> parseJunction(bool isAnd, QLatin1StringView keyword, ParsePart parsePart)
    {
        auto first = parsePart();
        if (!isKeyword(tok_, keyword))
            return first;
        auto junction = std::make_unique<Junction>(isAnd);
        junction->Add(std::move(first));
        while (isKeyword(tok_, keyword)) {
            advance();
            junction->Add(parsePart());
        }
        return junction;
    }

    std::unique_ptr<FilterExpr> parsePrimary()
    {
        if (tok_.kind == Tok::LParen) {
            // Every level is a few frames of the parser and of each evaluation:
            // a text of nothing but parentheses must not run out of stack.
            if (++depth_ > MaxNesting)
                lex_.fail(QStringLiteral("parentheses nested too deep"));
            advance();
            auto inner = parseOr();
            if (tok_.kind != Tok::RParen)
                lex_.fail(QStringLiteral("missing ')'"));
            advance();
            --depth_;
            return inner;
        }
        return parseCondition();
    }

    std::unique_ptr<FilterExpr> parseCondition()
    {
        if (tok_.kind != Tok::Word && tok_.kind != Tok::Bracketed)
            lex_.fail(QStringLiteral("column name expected"));
        if (tok_.kind == Tok::Word
            && (isKeyword(tok_, QLatin1StringView("and")) || isKeyword(tok_, QLatin1StringView("or"))
                || isKeyword(tok_, QLatin1StringView("like"))))
            lex_.fail(QStringLiteral("column name expected"));
        const int column = resolveColumn(tok_.text);
        advance();

        Op op;
        if (tok_.kind == Tok::Compare)
            op = tok_.op;
        else if (isKeyword(tok_, QLatin1StringView("like")))
            op = Op::Like;
        else
            lex_.fail(QStringLiteral("comparison expected"));
        advance();

        const Token value = tok_;
        if (value.kind != Tok::String && value.kind != Tok::Number)
            lex_.fail(QStringLiteral("value expected"));
        advance();

        if (op == Op::Like)
            return std::make_unique<LikeCondition>(column, value.text);
        if (value.kind == Tok::String)
            return std::make_unique<TextCondition>(column, op, value.text);
        bool ok = false;
        const double number = value.text.toDouble(&ok);
        if (!ok)
            lex_.fail(QStringLiteral("malformed number"));
        return std::make_unique<NumberCondition>(column, op, number, value.text);
    }

    int resolveColumn(const QString& name) const
    {
        const QString folded = LowerAscii(name);
        for (int i = 0; i < columns_.size(); ++i) {
            if (LowerAscii(columns_[i]) != folded)
                continue;
            if (i < isBlob_.size() && isBlob_[i])
                lex_.fail(QStringLiteral("column '%1' cannot be compared").arg(name));
            return i;
        }
        lex_.fail(QStringLiteral("unknown column '%1'").arg(name));
    }

    static constexpr int MaxNesting = 100;

    Lexer lex_;
    const QStringList& columns_;
    const QList<bool>& isBlob_;
    Token tok_;
    int depth_ = 0;
};

}  // namespace

std::unique_ptr<FilterExpr> FilterExpr::Parse(const QString& text, const QStringList& columnNames,
                                              const QList<bool>& isBlobColumn)
{
    // A blank filter text stands for no filter at all.
    if (text.trimmed().isEmpty())
        return std::make_unique<MatchAll>();
    return Parser(text, columnNames, isBlobColumn).ParseAll();
}
