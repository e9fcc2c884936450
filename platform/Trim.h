#pragma once
// Trimming as the program does it everywhere: characters with codes up to 32
// go at both ends, nothing else (an ideographic space U+3000 stays).

#include <QByteArray>
#include <QString>

QString TrimControl(const QString& text);
QByteArray TrimControlBytes(const QByteArray& bytes);
// Lower-cases the ASCII letters A to Z only; every other character stays.
QString LowerAscii(const QString& text);
QByteArray LowerAsciiBytes(const QByteArray& bytes);
