#include "TextRules.h"

#include <unicode/uchar.h>
#include <unicode/uscript.h>

#include <QList>
#include <algorithm>

bool IsAllPadding(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return IsPadding(c.unicode()); });
}

bool IsAllWhiteSpace(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

QString LowerAscii(QStringView text)
{
    QString out = text.toString();
    for (QChar& c : out)
        c = QChar(LowerAscii(c.unicode()));
    return out;
}

QByteArray LowerAsciiBytes(const QByteArray& bytes)
{
    QByteArray out = bytes;
    for (char& c : out)
        c = LowerAscii(c);
    return out;
}

int DisplayWidth(const QString& text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4()) {
        const int eastAsianWidth = u_getIntPropertyValue(UChar32(c), UCHAR_EAST_ASIAN_WIDTH);
        width += eastAsianWidth == U_EA_WIDE || eastAsianWidth == U_EA_FULLWIDTH ? 2 : 1;
    }
    return width;
}

namespace {

UScriptCode scriptOf(char32_t c)
{
    UErrorCode status = U_ZERO_ERROR;
    const UScriptCode script = uscript_getScript(UChar32(c), &status);
    return U_SUCCESS(status) ? script : USCRIPT_INVALID_CODE;
}

}  // namespace

bool IsHan(char32_t c)
{
    return scriptOf(c) == USCRIPT_HAN;
}

bool IsEastAsianScript(char32_t c)
{
    switch (scriptOf(c)) {
    case USCRIPT_HAN:
    case USCRIPT_HIRAGANA:
    case USCRIPT_KATAKANA:
    case USCRIPT_KATAKANA_OR_HIRAGANA:
    case USCRIPT_HANGUL:
    case USCRIPT_BOPOMOFO:
    case USCRIPT_YI: return true;
    default: return false;
    }
}

bool ContainsEastAsianScript(const QString& text)
{
    const QList<uint> codes = text.toUcs4();
    return std::any_of(codes.begin(), codes.end(), [](uint c) { return IsEastAsianScript(c); });
}

bool IsPhoneSeparator(QChar c)
{
    static const QString marks = QStringLiteral("-\u2010\u2011\u2012\u2013\u2014\u2015\uff0d.\uff0e\u00b7"
                                                "()\uff08\uff09[]\u3010\u3011");
    return c.isSpace() || marks.contains(c);
}
