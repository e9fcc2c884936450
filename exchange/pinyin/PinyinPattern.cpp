#include "exchange/pinyin/PinyinPattern.h"

#include "exchange/pinyin/PinyinTable.h"
#include "platform/TextRules.h"

#include <algorithm>

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

// Marks in next every end of the text reachable by typing word, whole or a
// prefix of it, from position from.
template <typename Word>
void markPrefixes(const QByteArray& text, qsizetype from, const Word& word, std::vector<char>& next)
{
    const qsizetype room = std::min<qsizetype>(word.size(), text.size() - from);
    for (qsizetype k = 0; k < room; ++k) {
        if (!sameLetter(text[from + k], letterAt(word, k)))
            return;
        next[size_t(from + k + 1)] = 1;
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
    const qsizetype length = letters_.size();
    reached_.resize(size_t(length + 1));
    next_.resize(size_t(length + 1));
    for (size_t start = 0; start < pieces.size(); ++start) {
        std::fill(reached_.begin(), reached_.end(), 0);
        reached_[0] = 1;
        for (size_t j = start; j < pieces.size(); ++j) {
            const NamePiece& piece = pieces[j];
            if (piece.kind == NamePiece::Kind::Digits)
                continue;  // never typed as pinyin, so they neither help nor break
            std::fill(next_.begin(), next_.end(), 0);
            for (qsizetype from = 0; from < length; ++from) {
                if (!reached_[size_t(from)])
                    continue;
                if (piece.kind == NamePiece::Kind::Latin)
                    markPrefixes(letters_, from, piece.text, next_);
                else if (piece.kind == NamePiece::Kind::Han)
                    for (const std::uint16_t id : piece.syllables())
                        markPrefixes(letters_, from, syllableText(id), next_);
            }
            if (next_[size_t(length)])
                return true;
            if (std::none_of(next_.begin(), next_.end(), [](char r) { return r != 0; }))
                break;
            reached_.swap(next_);
        }
    }
    return false;
}
