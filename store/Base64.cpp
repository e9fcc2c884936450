#include "Base64.h"

#include <array>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";

// The position of every byte in the alphabet; a byte outside it reads as 255
// (the -1 of the lookup held in an unsigned byte) and still takes its place in
// the group: the decoder never skips or rejects anything.
constexpr std::array<quint8, 256> makeValues()
{
    std::array<quint8, 256> values{};
    for (auto& v : values)
        v = 255;
    for (int i = 0; i < 65; ++i)
        values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<quint8>(i);
    return values;
}

constexpr std::array<quint8, 256> kValues = makeValues();
constexpr quint8 kPad = 64;

}  // namespace

QByteArray Base64Encode(const QByteArray& bytes)
{
    QByteArray out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    const auto* p = reinterpret_cast<const quint8*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; i += 3) {
        const qsizetype left = n - i;
        const quint32 b0 = p[i];
        const quint32 b1 = left > 1 ? p[i + 1] : 0;
        const quint32 b2 = left > 2 ? p[i + 2] : 0;
        const quint32 group = (b0 << 16) | (b1 << 8) | b2;
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
        out += left > 1 ? kAlphabet[(group >> 6) & 63] : '=';
        out += left > 2 ? kAlphabet[group & 63] : '=';
    }
    return out;
}

QByteArray Base64Decode(const QByteArray& text)
{
    QByteArray out;
    const qsizetype groups = text.size() / 4;  // 1 to 3 trailing characters are ignored
    out.reserve(groups * 3);
    for (qsizetype g = 0; g < groups; ++g) {
        const quint8 x1 = kValues[static_cast<unsigned char>(text[4 * g])];
        const quint8 x2 = kValues[static_cast<unsigned char>(text[4 * g + 1])];
        const quint8 x3 = kValues[static_cast<unsigned char>(text[4 * g + 2])];
        const quint8 x4 = kValues[static_cast<unsigned char>(text[4 * g + 3])];
        // "=" only ends the text in third or fourth place; earlier it is just the value 64.
        out += static_cast<char>(static_cast<quint8>(x1 * 4) | (x2 >> 4));
        if (x3 == kPad)
            break;
        out += static_cast<char>(static_cast<quint8>(x2 * 16) | (x3 >> 2));
        if (x4 == kPad)
            break;
        out += static_cast<char>(static_cast<quint8>(x3 * 64) | x4);
    }
    return out;
}
