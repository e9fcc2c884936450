#pragma once
// Clipboard text cut into lines, the way a string list takes a text.

#include <QString>
#include <QStringList>

// A line ends at CR LF, at a lone CR or at a lone LF; a NUL ends the whole text;
// a break at the very end gives no empty last line. Lines are not trimmed.
QStringList SplitClipboardLines(const QString& text);
