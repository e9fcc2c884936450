#include "WesternText.h"

#include <array>

namespace {

// 0x80-0x9F of Windows-1252; the five bytes it leaves undefined stay the C1 controls they are in ISO 8859-1.
constexpr std::array<char16_t, 32> high1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isHigh(unsigned char b)
{
    return b >= 0x80;
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Punctuation Western writers type that stands alone between words.
bool isWesternPunctuation(QChar c)
{
    return QStringView(u"’‘“”–—€°·§«»´").contains(c);
}

struct GbkReading {
    bool eatsMark = false;    // a pair's second byte is "@"
    bool eatsLetter = false;  // a pair's second byte is an ASCII letter
    bool broken = false;      // a high byte no GBK or GB18030 sequence starts
};

GbkReading readAsGbk(QByteArrayView bytes)
{
    GbkReading r;
    const auto at = [&bytes](qsizetype i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0; };
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char lead = at(i);
        if (!isHigh(lead))
            continue;
        const unsigned char second = at(i + 1);
        if (lead == 0x80 || lead == 0xFF || i + 1 >= bytes.size()) {
            r.broken = true;
        } else if (second >= 0x30 && second <= 0x39) {
            // GB18030's four bytes: high, digit, high, digit.
            const bool four = isHigh(at(i + 2)) && at(i + 2) != 0xFF && at(i + 3) >= 0x30 && at(i + 3) <= 0x39;
            r.broken = r.broken || !four;
            i += four ? 3 : 0;
        } else if (second >= 0x40 && second <= 0xFE && second != 0x7F) {
            r.eatsMark = r.eatsMark || second == '@';
            r.eatsLetter = r.eatsLetter || isAsciiLetter(QChar(second));
            ++i;
        } else {
            r.broken = true;
        }
    }
    return r;
}

// Every run of characters above ASCII is one or two letters inside or at the edge of
// an ASCII word ("Außenstelle", "Müller"), or a punctuation mark on its own.
bool readsAsWords(const QString& text)
{
    bool any = false;
    for (qsizetype i = 0; i < text.size();) {
        if (text[i].unicode() < 0x80) {
            ++i;
            continue;
        }
        qsizetype end = i;
        bool letters = true;
        while (end < text.size() && text[end].unicode() >= 0x80)
            letters = text[end++].isLetter() && letters;
        const qsizetype length = end - i;
        const bool besideWord =
            (i > 0 && isAsciiLetter(text[i - 1])) || (end < text.size() && isAsciiLetter(text[end]));
        const bool word = letters && length <= 2 && besideWord;
        if (!word && !(length == 1 && isWesternPunctuation(text[i])))
            return false;
        any = any || word;
        i = end;
    }
    return any;
}

}  // namespace

QString FromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = b >= 0x80 && b < 0xA0 ? high1252[b - 0x80] : char16_t(b);
    }
    return text;
}

bool IsWesternRatherThanGbk(QByteArrayView bytes)
{
    const GbkReading gbk = readAsGbk(bytes);
    if (gbk.eatsMark)
        return true;
    return (gbk.eatsLetter || gbk.broken) && readsAsWords(FromWindows1252(bytes));
}
