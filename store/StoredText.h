#pragma once
// Texts as the book's file holds them. SQLite keeps whatever bytes a writer
// gave it, and other tools write into the book too: Chinese ones often GBK.
// Each value is read on its own: well-formed UTF-8 as UTF-8, any other bytes
// as GB18030, so one odd value never disturbs the others.

#include <QByteArrayView>
#include <QString>

// True for UTF-8 without overlong forms, surrogates or code points past U+10FFFF.
bool IsWellFormedUtf8(QByteArrayView bytes);

// Well-formed UTF-8 to UTF-16, one unit per character below U+10000 and two
// above; a leading byte order mark is a character like any other.
QString FromWellFormedUtf8(QByteArrayView bytes);

// One stored value's bytes as text: UTF-8 when well-formed, else GB18030.
QString DecodeStoredText(QByteArrayView bytes);
