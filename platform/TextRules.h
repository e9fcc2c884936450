#pragma once
// The small rules about characters that the program applies in many places:
// what is padding, blank, wide, Han; how ASCII letters fold; what separates the
// digits of a phone number. Unicode's own answers come from ICU.

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringView>

// Padding: every code up to 32 (the controls and the space). Trimming takes it
// away at both ends; an ideographic space U+3000 is text.
constexpr bool IsPadding(char16_t c)
{
    return c <= 32;
}
// Nothing but padding: the text trims to nothing.
bool IsAllPadding(const QString& text);
// Nothing but Unicode white space, the ideographic space included.
bool IsAllWhiteSpace(const QString& text);

// The ASCII letters A to Z lower-cased; every other character stays.
constexpr char16_t LowerAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}
constexpr char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}
QString LowerAscii(QStringView text);
QByteArray LowerAsciiBytes(const QByteArray& bytes);

// Columns a text takes in a fixed-width table: two for each wide and full-width
// character (East Asian Width W or F: Han, kana, Hangul, full-width forms, most
// emoji), one for every other.
int DisplayWidth(const QString& text);

// A Han character (script Han): hanzi, kanji, hanja, their radicals and marks.
bool IsHan(char32_t c);
// A character of an East Asian script: Han, kana, Hangul, Bopomofo or Yi.
// Names and addresses written with one put the family or the country first.
bool IsEastAsianScript(char32_t c);
bool ContainsEastAsianScript(const QString& text);

// What people write between the digits of a phone number: white space, the
// hyphens and dashes, dots, parentheses and brackets, half- and full-width.
bool IsPhoneSeparator(QChar c);
