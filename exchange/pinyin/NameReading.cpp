#include "exchange/pinyin/NameReading.h"

#include "exchange/pinyin/PinyinTable.h"

#include <QChar>
#include <QStringList>

namespace {

bool isAsciiLetter(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAsciiDigit(char32_t c)
{
    return c >= '0' && c <= '9';
}

struct CodePoint {
    char32_t value;
    qsizetype size;  // 1, or 2 for a surrogate pair
};

CodePoint codePointAt(QStringView s, qsizetype i)
{
    const QChar c = s[i];
    if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(c, s[i + 1]), 2};
    return {c.unicode(), 1};
}

// Where a run of characters of one kind ends.
template <typename Is>
qsizetype runEnd(QStringView s, qsizetype i, Is is)
{
    while (i < s.size() && is(s[i].unicode()))
        ++i;
    return i;
}

QString capitalised(QString text)
{
    if (!text.isEmpty() && text[0] >= u'a' && text[0] <= u'z')
        text[0] = QChar(text[0].unicode() - 32);
    return text;
}

// Syllables keep v for ü so they can be typed; people read ü.
QString readable(QLatin1StringView syllable)
{
    QString text(syllable);
    text.replace(QLatin1Char('v'), QChar(0x00FC));
    return text;
}

QString usualReading(const NamePiece& piece)
{
    if (piece.kind != NamePiece::Kind::Han)
        return piece.text.toString();
    return readable(syllableText(piece.syllables().front()));
}

}  // namespace

void readName(QStringView name, bool startsWithSurname, std::vector<NamePiece>& pieces)
{
    pieces.clear();
    qsizetype i = 0;
    while (i < name.size()) {
        const CodePoint c = codePointAt(name, i);
        NamePiece piece;
        qsizetype end = i + c.size;
        if (isAsciiLetter(c.value)) {
            piece.kind = NamePiece::Kind::Latin;
            end = runEnd(name, i, isAsciiLetter);
        } else if (isAsciiDigit(c.value)) {
            piece.kind = NamePiece::Kind::Digits;
            end = runEnd(name, i, isAsciiDigit);
        } else if (const HanReadings readings = readingsOf(c.value); !readings.common.empty()) {
            const bool first = pieces.empty() && startsWithSurname;
            const std::span<const std::uint16_t> ids =
                first && !readings.surname.empty() ? readings.surname : readings.common;
            piece.kind = NamePiece::Kind::Han;
            piece.ids_ = ids.data();
            piece.count_ = int(ids.size());
        } else if (!QChar::isLetter(c.value)) {
            i = end;  // blanks, punctuation, symbols
            continue;
        }
        piece.text = name.sliced(i, end - i);
        pieces.push_back(piece);
        i = end;
    }

    // A leading two-character surname reads as a whole: 万俟 is mo qi, not wan qi.
    if (startsWithSurname && pieces.size() >= 2 && pieces[0].kind == NamePiece::Kind::Han
        && pieces[1].kind == NamePiece::Kind::Han && pieces[0].text.end() == pieces[1].text.begin()) {
        std::uint16_t first = 0, second = 0;
        if (compoundSurnameReadings(codePointAt(pieces[0].text, 0).value, codePointAt(pieces[1].text, 0).value, first,
                                    second)) {
            pieces[0].ids_ = pieces[1].ids_ = nullptr;
            pieces[0].count_ = pieces[1].count_ = 1;
            pieces[0].own_ = first;
            pieces[1].own_ = second;
        }
    }
}

QString spellName(QStringView name)
{
    std::vector<NamePiece> pieces;
    readName(name, true, pieces);
    QStringList words;
    for (const NamePiece& piece : pieces)
        words.append(usualReading(piece));
    return words.join(QLatin1Char(' '));
}

QString phoneticOf(QStringView part, bool isSurname)
{
    std::vector<NamePiece> pieces;
    readName(part, isSurname, pieces);
    QStringList runs;
    bool hasHan = false;
    bool inHanRun = false;
    for (const NamePiece& piece : pieces) {
        const bool han = piece.kind == NamePiece::Kind::Han;
        if (han && inHanRun)
            runs.last() += usualReading(piece);
        else
            runs.append(usualReading(piece));
        inHanRun = han;
        hasHan = hasHan || han;
    }
    if (!hasHan)
        return {};
    for (QString& run : runs)
        run = capitalised(run);
    return runs.join(QLatin1Char(' '));
}
