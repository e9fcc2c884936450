#include "exchange/pinyin/PinyinPattern.h"

#include "exchange/pinyin/PinyinTable.h"
#include "platform/TextRules.h"

#include <algorithm>
#include <bit>

namespace {

char16_t letterAt(QStringView word, qsizetype k)
{
    return LowerAscii(word[k].unicode());
}

char16_t letterAt(QLatin1StringView word, qsizetype k)
{
    return char16_t(word[k].unicode());
}

// A written ü (v) is also typed as u.
bool sameLetter(char typed, char16_t written)
{
    return char16_t(typed) == written || (written == u'v' && typed == 'u');
}

// The ends of the text reached, one bit each (bit i of word i / 64).
using Ends = std::vector<quint64>;

void mark(Ends& ends, qsizetype end)
{
    ends[size_t(end / 64)] |= quint64(1) << (end % 64);
}

// Marks in next every end of the text reachable by typing word, whole or a
// prefix of it, from position from.
template <typename Word>
void markPrefixes(const QByteArray& text, qsizetype from, const Word& word, Ends& next)
{
    const qsizetype room = std::min<qsizetype>(word.size(), text.size() - from);
    for (qsizetype k = 0; k < room; ++k) {
        if (!sameLetter(text[from + k], letterAt(word, k)))
            return;
        mark(next, from + k + 1);
    }
}

}  // namespace

std::optional<PinyinPattern> PinyinPattern::parse(QStringView typed)
{
    QByteArray letters;
    for (const QChar c : typed) {
        const char16_t u = c.unicode();
        if (u == u' ' || u == u'\'')
            continue;
        if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z'))
            letters += char(LowerAscii(u));
        else if (u == u'ü' || u == u'Ü')
            letters += 'v';
        else
            return std::nullopt;
    }
    if (letters.isEmpty())
        return std::nullopt;
    return PinyinPattern(letters);
}

bool PinyinPattern::matches(std::span<const NamePiece> pieces) const
{
    // One pass over the pieces, every start at once: before each piece the
    // text's start is reachable too, so the ends reached are those of every
    // run of pieces ending there. A run of digits is never typed, so it
    // neither helps nor breaks; any other piece the text cannot go through
    // leaves nothing reached.
    const qsizetype length = letters_.size();
    const size_t words = size_t(length / 64 + 1);
    reached_.assign(words, 0);
    for (const NamePiece& piece : pieces) {
        if (piece.kind == NamePiece::Kind::Digits)
            continue;
        reached_[0] |= 1;
        next_.assign(words, 0);
        for (size_t w = 0; w < words; ++w) {
            for (quint64 bits = reached_[w]; bits != 0; bits &= bits - 1) {
                const qsizetype from = qsizetype(w * 64) + std::countr_zero(bits);  // below length: never the end
                if (piece.kind == NamePiece::Kind::Latin)
                    markPrefixes(letters_, from, piece.text, next_);
                else if (piece.kind == NamePiece::Kind::Han)
                    for (const std::uint16_t id : piece.syllables())
                        markPrefixes(letters_, from, syllableText(id), next_);
            }
        }
        if (next_[size_t(length / 64)] & (quint64(1) << (length % 64)))
            return true;
        reached_.swap(next_);
    }
    return false;
}
