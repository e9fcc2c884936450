#include "pinyin/ContactSearch.h"

#include "Trim.h"

namespace {

char16_t lowerAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

}  // namespace

bool containsIgnoringAsciiCase(QStringView text, QStringView loweredPart)
{
    const qsizetype n = loweredPart.size();
    for (qsizetype start = 0; start + n <= text.size(); ++start) {
        qsizetype k = 0;
        while (k < n && lowerAscii(text[start + k].unicode()) == loweredPart[k].unicode())
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

ContactSearch::ContactSearch(const QString& typed)
    : lowered_(LowerAscii(typed)), pinyin_(PinyinPattern::parse(typed))
{
}

bool ContactSearch::matches(std::span<const QString> texts) const
{
    for (const QString& text : texts)
        if (containsIgnoringAsciiCase(text, lowered_))
            return true;
    if (!pinyin_ || texts.size() <= size_t(ContactText::Name))
        return false;
    readName(texts[size_t(ContactText::Name)], true, pieces_);
    return pinyin_->matches(pieces_);
}
