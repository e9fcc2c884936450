#pragma once
// Texts as the book's file holds them. SQLite keeps whatever bytes a writer
// gave it, and other tools write into the book too: Chinese ones often GBK.
// Each value is read on its own: well-formed UTF-8 as UTF-8, any other bytes
// as GB18030, so one odd value never disturbs the others.

#include <QByteArrayView>
#include <QString>

// True for UTF-8 without overlong forms, surrogates or code points past U+10FFFF.
bool IsWellFormedUtf8(QByteArrayView bytes);

// The UTF-16 units the bytes decode to when they are well-formed UTF-8; -1 when they are not.
int WellFormedUtf16Length(QByteArrayView bytes);
// Decodes the bytes into out, which has room for bytes.size() units, when
// they are well-formed UTF-8, checking and decoding in one pass: the units
// written, or -1 (out then holds nothing of use). A leading byte order mark
// is a character like any other.
int DecodeIfWellFormedUtf8(QByteArrayView bytes, char16_t* out);

// One stored value's bytes as text: UTF-8 when well-formed (one UTF-16 unit
// per character below U+10000 and two above; a leading byte order mark is a
// character like any other), else GB18030.
QString DecodeStoredText(QByteArrayView bytes);
// The same into out, whose room a caller reading many values reuses.
void DecodeStoredText(QByteArrayView bytes, QString& out);
