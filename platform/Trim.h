#pragma once
// Trimming as the program does it everywhere: the padding (codes up to 32, see
// IsPadding) goes at both ends, nothing else (an ideographic space U+3000 stays).

#include <QByteArray>
#include <QString>

QString TrimControl(const QString& text);
QByteArray TrimControlBytes(const QByteArray& bytes);
