#pragma once
// Text in a Western code page told from GBK. A German card without a CHARSET
// ("Außenstelle", "blablö@blub.com") is valid GBK too: each accented letter
// takes the ASCII byte after it as the second half of a Chinese character, and
// the name or address changes in its ASCII part. Chinese GBK text pairs high
// bytes with high bytes almost always; Western text has single accented letters
// inside ASCII words.

#include <QByteArrayView>
#include <QString>

// The bytes as Windows-1252 (the Western code page Windows and old Macs' exports use,
// ISO 8859-1 with letters in 0x80-0x9F); every byte becomes a character.
QString FromWindows1252(QByteArrayView bytes);

// True when reading the bytes as GBK would pair a high byte with an ASCII one
// that matters ("@"), or leave bytes unread or take ASCII letters into Chinese
// characters while Windows-1252 reads them as words: accented letters one or
// two at a time beside ASCII letters.
bool IsWesternRatherThanGbk(QByteArrayView bytes);
