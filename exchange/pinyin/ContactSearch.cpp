#include "exchange/pinyin/ContactSearch.h"

#include "platform/TextRules.h"

bool containsIgnoringAsciiCase(QByteArrayView text, QByteArrayView loweredPart)
{
    const qsizetype n = loweredPart.size();
    for (qsizetype start = 0; start + n <= text.size(); ++start) {
        qsizetype k = 0;
        while (k < n && LowerAscii(text[start + k]) == loweredPart[k])
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

ContactSearch::ContactSearch(const QString& typed)
    : lowered_(LowerAsciiBytes(typed.toUtf8())), pinyin_(PinyinPattern::parse(typed))
{
}

bool ContactSearch::matches(std::span<const QByteArrayView> utf8Texts) const
{
    for (const QByteArrayView text : utf8Texts)
        if (containsIgnoringAsciiCase(text, lowered_))
            return true;
    if (!pinyin_ || utf8Texts.size() <= size_t(ContactText::Name))
        return false;
    const QByteArrayView name = utf8Texts[size_t(ContactText::Name)];
    name_.resize(size_t(name.size()) + 1);  // UTF-16 never takes more units than UTF-8 bytes
    decoder_.resetState();
    const QChar* end = decoder_.appendToBuffer(name_.data(), name);
    readName(QStringView(name_.data(), end - name_.data()), true, pieces_);
    return pinyin_->matches(pieces_);
}

bool ContactSearch::matches(std::span<const QString> texts) const
{
    std::vector<QByteArray> utf8;
    std::vector<QByteArrayView> views;
    for (const QString& text : texts)
        utf8.push_back(text.toUtf8());
    for (const QByteArray& bytes : utf8)
        views.push_back(bytes);
    return matches(views);
}
