#pragma once
// A file's text as a message may quote it: never its raw bytes or control characters.

#include <QString>

// Control characters become blanks, runs of blanks one, and more than
// maxCharacters end in "…".
QString shownText(const QString& text, int maxCharacters = 20);
