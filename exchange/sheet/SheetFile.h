#pragma once
// The spreadsheet readers' words for a file they cannot read, in the form the
// other formats use: "无法读取文件 PATH：WHY", and a file's text as a message
// may quote it.

#include <QString>

QString cannotReadMessage(const QString& path, const QString& why);

// Text from a file as a message shows it: control characters become blanks,
// runs of blanks one, and more than maxCharacters end in "…".
QString shownText(const QString& text, int maxCharacters = 20);
