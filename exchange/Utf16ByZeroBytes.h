#pragma once
// UTF-16 told without a byte order mark. Old Mac address books write vCards in
// UTF-16 big-endian and Entourage in little-endian, neither with a mark. No
// other encoding a contact file comes in has a zero byte, while UTF-16 has one
// in every ASCII character, always on the same side of its pair of bytes.

#include <QByteArrayView>
#include <QStringConverter>
#include <optional>

// Utf16LE or Utf16BE when the start of a file has that pattern of zero bytes.
std::optional<QStringConverter::Encoding> Utf16ByZeroBytes(QByteArrayView start);

// How much of a file's start the pattern is looked for in.
inline constexpr qsizetype Utf16SampleBytes = 1024;
