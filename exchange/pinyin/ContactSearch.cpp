#include "exchange/pinyin/ContactSearch.h"

#include "platform/TextRules.h"

bool containsIgnoringAsciiCase(QByteArrayView text, QByteArrayView loweredPart)
{
    const qsizetype n = loweredPart.size();
    if (n == 0)
        return true;
    // Every text of a book passes here: its bytes are looked at one compare
    // each for the part's first letter (with the case bit set, either case of
    // it equals it), the rest only where that one is found.
    const char first = loweredPart[0];
    const char caseBit = first >= 'a' && first <= 'z' ? 0x20 : 0;
    for (qsizetype start = 0; start + n <= text.size(); ++start) {
        if (char(text[start] | caseBit) != first)
            continue;
        qsizetype k = 1;
        while (k < n && LowerAscii(text[start + k]) == loweredPart[k])
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The digits of a text made of nothing but digits and separators, with at least one digit.
QByteArray numberTyped(const QString& typed)
{
    QByteArray digits;
    for (const QChar c : typed) {
        if (isDigit(c))
            digits += char(c.unicode());
        else if (!IsPhoneSeparator(c))
            return {};
    }
    return digits;
}

}  // namespace

QByteArray JoinedDigits(QByteArrayView utf8)
{
    const QString text = QString::fromUtf8(utf8);
    QString joined;
    joined.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (!joined.isEmpty() && isDigit(joined.back()) && IsPhoneSeparator(text[i])) {
            qsizetype next = i;
            while (next < text.size() && IsPhoneSeparator(text[next]))
                ++next;
            if (next < text.size() && isDigit(text[next])) {
                i = next;
                continue;
            }
        }
        joined += text[i++];
    }
    return joined.toUtf8();
}

ContactSearch::ContactSearch(const QString& typed)
    : lowered_(LowerAsciiBytes(typed.toUtf8())), digits_(numberTyped(typed)), pinyin_(PinyinPattern::parse(typed))
{
}

bool ContactSearch::matches(std::span<const QByteArrayView> utf8Texts) const
{
    for (const QByteArrayView text : utf8Texts)
        if (containsIgnoringAsciiCase(text, lowered_))
            return true;
    // Only a text that holds the number's first digit is joined and looked into.
    if (!digits_.isEmpty())
        for (const QByteArrayView text : utf8Texts)
            if (text.contains(digits_.front()) && JoinedDigits(text).contains(digits_))
                return true;
    if (!pinyin_ || utf8Texts.size() <= size_t(ContactText::Name))
        return false;
    const QByteArrayView name = utf8Texts[size_t(ContactText::Name)];
    name_.resize(size_t(name.size()) + 1);  // UTF-16 never takes more units than UTF-8 bytes
    decoder_.resetState();
    const QChar* end = decoder_.appendToBuffer(name_.data(), name);
    readName(QStringView(name_.data(), end - name_.data()), true, pieces_);
    return matchesNamePieces(pieces_);
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
