#pragma once
// From a property's raw value to text: transfer encoding, character set,
// escapes, and the parts of structured values.

#include <QByteArray>
#include <QString>
#include <QStringList>

struct VCardProperty;

// Quoted-printable "=XX" sequences to bytes; a "=" that starts no sequence stays.
QByteArray decodeQuotedPrintable(QByteArrayView text);

// The bytes of a base64 value without its blanks; false when they are no base64.
bool decodeBase64(QByteArrayView text, QByteArray& bytes);

// A value as a report line may quote it: blanks made single, at most 40 characters.
QString quotedForReport(const QByteArray& value);

// As phones write it: padding anywhere at the end and a stray last letter forgiven.
bool decodeBase64Leniently(QByteArrayView text, QByteArray& bytes);

struct DecodedText {
    QString text;
    bool clean = true;  // false when some bytes could not be read and were replaced
    QString note;       // how the text was read when not as the card declared: for the report
};

// The value's bytes as text: UTF-8 when a card that declares a Chinese code
// page (GB2312, GBK, GB18030, Big5) holds valid UTF-8; else CHARSET when the
// card names one (GB2312, GBK and GB18030 read as GB18030), else UTF-8, else
// Windows-1252 for Western text GBK would garble (WesternText.h), else
// GB18030 for old Chinese phones. The note says when the declaration was not followed.
// Quoted-printable or base64 is undone first. Escapes are left in.
DecodedText decodeValueText(const VCardProperty& property);

// Splits at every separator that no backslash escapes; escapes are left in.
QStringList splitEscaped(const QString& text, QChar separator);

// Undoes the escapes: \\ \, \; and, from version 3.0 on, \n and \N. Any other
// backslash stays as it is.
QString unescapeText(const QString& text, bool newlineEscapes);
