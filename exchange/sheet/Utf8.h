#pragma once
// Strict UTF-8, as the text readers take it: no overlong forms, no
// surrogates, nothing beyond U+10FFFF.

#include <QByteArrayView>

// At a byte of 0x80 or above: the character its sequence encodes, with p
// moved past it; false when no valid sequence starts there.
bool decodeUtf8(const char*& p, const char* end, char32_t& c);

bool isValidUtf8(QByteArrayView bytes);
