#include "Utf16ByZeroBytes.h"

#include <algorithm>

std::optional<QStringConverter::Encoding> Utf16ByZeroBytes(QByteArrayView start)
{
    const qsizetype pairs = std::min(start.size(), Utf16SampleBytes) / 2;
    qsizetype zeroFirst = 0, zeroSecond = 0;
    for (qsizetype i = 0; i < pairs; ++i) {
        zeroFirst += start[2 * i] == 0;
        zeroSecond += start[2 * i + 1] == 0;
    }
    // Most of a contact file is ASCII: its names, its separators, its digits. A
    // character above U+00FF has a zero byte only by chance (U+4E00), on either side.
    const auto oneSided = [pairs](qsizetype zeros, qsizetype other) {
        return pairs >= 2 && zeros * 4 >= pairs && other * 8 <= zeros;
    };
    if (oneSided(zeroFirst, zeroSecond))
        return QStringConverter::Utf16BE;
    if (oneSided(zeroSecond, zeroFirst))
        return QStringConverter::Utf16LE;
    return std::nullopt;
}
