#pragma once
// Widths of fixed-width text columns are counted in characters (code points),
// so a character outside the basic plane counts once.

#include <QString>

int CodePointCount(const QString& text);
// The text followed by blanks up to width characters; longer texts stay whole.
QString PadToWidth(const QString& text, int width);
