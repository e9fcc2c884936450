#include "VCardValue.h"

#include "exchange/WesternText.h"
#include "exchange/vcard/VCardProperty.h"
#include "platform/Gbk.h"
#include "platform/TextRules.h"

#include <QStringDecoder>
#include <array>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isGbkName(const QByteArray& upper)
{
    return upper == "GB2312" || upper == "GBK" || upper == "GB18030" || upper == "CP936" || upper == "X-GBK"
           || upper == "EUC-CN" || upper == "GB_2312-80" || upper == "WINDOWS-936";
}

bool decodeUtf8(const QByteArray& bytes, QString& text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = decoder.decode(bytes);
    return !decoder.hasError();
}

// GB18030 reads every byte string; a clean one encodes back to the same bytes.
bool decodeGbk(const QByteArray& bytes, QString& text)
{
    text = fromGbk(bytes);
    return toGbk(text) == bytes;
}

bool decodeNamed(const QByteArray& bytes, const QByteArray& charset, QString& text)
{
    QStringDecoder decoder(charset.constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return false;
    text = decoder.decode(bytes);
    return !decoder.hasError();
}

// Valid UTF-8 that holds Chinese, or that the GB code page cannot read: a short GBK
// name may happen to be valid UTF-8 too, but then it is no Han text.
bool looksLikeUtf8(const QByteArray& bytes, QString& text)
{
    if (!decodeUtf8(bytes, text))
        return false;
    QString gbk;
    if (!decodeGbk(bytes, gbk))
        return true;
    for (const char32_t c : text.toUcs4())
        if (IsHan(c))
            return true;
    return false;
}

bool isAscii(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

}  // namespace

QByteArray decodeQuotedPrintable(QByteArrayView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            bytes.append(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
        } else {
            bytes.append(text[i]);
        }
    }
    return bytes;
}

namespace {

constexpr signed char base64Blank = -2;
constexpr signed char base64Pad = -3;

// The six bits of every base64 letter; blanks and line ends are skipped, "=" pads.
constexpr std::array<signed char, 256> makeBase64Values()
{
    std::array<signed char, 256> values{};
    values.fill(-1);
    const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i)
        values[static_cast<unsigned char>(letters[i])] = static_cast<signed char>(i);
    for (const char blank : {' ', '\t', '\r', '\n'})
        values[static_cast<unsigned char>(blank)] = base64Blank;
    values['='] = base64Pad;
    return values;
}

constexpr std::array<signed char, 256> base64Values = makeBase64Values();

// The same bits already shifted to their place in a group of four letters, one
// table for each place; anything but a letter sets a bit above the group's 24.
constexpr quint32 notALetter = 1u << 24;

constexpr std::array<std::array<quint32, 256>, 4> makeBase64Placed()
{
    std::array<std::array<quint32, 256>, 4> placed{};
    for (int place = 0; place < 4; ++place) {
        for (int c = 0; c < 256; ++c) {
            const signed char v = base64Values[c];
            placed[place][c] = v < 0 ? notALetter : quint32(v) << (6 * (3 - place));
        }
    }
    return placed;
}

constexpr std::array<std::array<quint32, 256>, 4> base64Placed = makeBase64Placed();

#if defined(__x86_64__)
// Sixteen letters at a time with SSSE3 (every x86-64 processor of the last
// fifteen years has it) for as long as all sixteen are letters: 12 bytes each,
// stored 16 at a time into room the caller leaves after them. Returns how many
// letters it took, a multiple of 16; the table loop goes on from there.
__attribute__((target("ssse3"))) qsizetype decodeBlocks(const unsigned char* in, qsizetype size, char* out)
{
    // A byte is a letter unless the classes its low nibble rules out (first
    // table) include the class of its high nibble (second table).
    const __m128i lowNibbleFaults =
        _mm_setr_epi8(0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x13, 0x1A, 0x1B, 0x1B, 0x1B, 0x1A);
    const __m128i highNibbleClasses =
        _mm_setr_epi8(0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10);
    // What a letter adds to become its six bits, by its high nibble; '/' looks one lower.
    const __m128i offsets = _mm_setr_epi8(0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m128i nibble = _mm_set1_epi8(0x0f);
    const __m128i slash = _mm_set1_epi8('/');
    qsizetype taken = 0;
    for (; size - taken >= 16; taken += 16) {
        const __m128i letters = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + taken));
        const __m128i high = _mm_and_si128(_mm_srli_epi32(letters, 4), nibble);
        const __m128i faults = _mm_and_si128(_mm_shuffle_epi8(lowNibbleFaults, _mm_and_si128(letters, nibble)),
                                             _mm_shuffle_epi8(highNibbleClasses, high));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(faults, _mm_setzero_si128())) != 0xFFFF)
            break;
        const __m128i offset = _mm_shuffle_epi8(offsets, _mm_add_epi8(_mm_cmpeq_epi8(letters, slash), high));
        const __m128i values = _mm_add_epi8(letters, offset);
        // Four six-bit values to 24 bits in each 32: two and two, then the pairs.
        const __m128i pairs = _mm_maddubs_epi16(values, _mm_set1_epi32(0x01400140));
        const __m128i groups = _mm_madd_epi16(pairs, _mm_set1_epi32(0x00011000));
        const __m128i bytes =
            _mm_shuffle_epi8(groups, _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + taken / 4 * 3), bytes);
    }
    return taken;
}

bool hasSsse3()
{
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
#endif

}  // namespace

// One pass, no copy of the text: pictures are most of a phone's file.
bool decodeBase64(QByteArrayView text, QByteArray& bytes)
{
    // Room for 16 bytes stored where 12 are decoded.
    QByteArray out(text.size() / 4 * 3 + 16, Qt::Uninitialized);
    char* o = out.data();
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = in + text.size();
#if defined(__x86_64__)
    if (hasSsse3()) {
        const qsizetype taken = decodeBlocks(in, end - in, o);
        in += taken;
        o += taken / 4 * 3;
    }
#endif
    // Whole groups of four letters, as almost all of a picture is, in one step each.
    while (end - in >= 4) {
        const quint32 group =
            base64Placed[0][in[0]] | base64Placed[1][in[1]] | base64Placed[2][in[2]] | base64Placed[3][in[3]];
        if (group & notALetter)
            break;
        *o++ = static_cast<char>(group >> 16);
        *o++ = static_cast<char>(group >> 8);
        *o++ = static_cast<char>(group);
        in += 4;
    }
    // The rest, with its blanks, padding and faults, a letter at a time.
    quint32 bits = 0;
    int letters = 0;  // in the group of four being read
    int pads = 0;
    for (const char c : QByteArrayView(reinterpret_cast<const char*>(in), end - in)) {
        const signed char v = base64Values[static_cast<unsigned char>(c)];
        if (v >= 0) {
            if (pads > 0)
                return false;  // letters after the padding
            bits = bits << 6 | static_cast<quint32>(v);
            if (++letters == 4) {
                *o++ = static_cast<char>(bits >> 16);
                *o++ = static_cast<char>(bits >> 8);
                *o++ = static_cast<char>(bits);
                letters = 0;
                bits = 0;
            }
        } else if (v == base64Pad) {
            ++pads;
        } else if (v != base64Blank) {
            return false;
        }
    }
    if (letters == 1 || (pads > 0 && (letters == 0 || letters + pads != 4)))
        return false;
    if (letters == 2)
        *o++ = static_cast<char>(bits >> 4);
    if (letters == 3) {
        *o++ = static_cast<char>(bits >> 10);
        *o++ = static_cast<char>(bits >> 2);
    }
    out.truncate(o - out.constData());
    bytes = std::move(out);
    return true;
}

QString quotedForReport(const QByteArray& value)
{
    const QString text = QString::fromUtf8(value).simplified();
    return text.size() > 40 ? text.left(40) + u'…' : text;
}

bool decodeBase64Leniently(QByteArrayView text, QByteArray& bytes)
{
    QByteArray letters;
    letters.reserve(text.size());
    for (const char c : text) {
        const signed char v = base64Values[static_cast<unsigned char>(c)];
        if (v >= 0)
            letters.append(c);
        else if (v == base64Pad || v == base64Blank)
            continue;
        else
            return false;
    }
    if (letters.size() % 4 == 1)
        letters.chop(1);
    return !letters.isEmpty() && decodeBase64(letters, bytes);
}

DecodedText decodeValueText(const VCardProperty& property)
{
    const QByteArray encoding = property.parameter("ENCODING").toUpper();
    DecodedText decoded;
    QByteArray bytes = property.value;
    if (encoding == "QUOTED-PRINTABLE")
        bytes = decodeQuotedPrintable(property.value);
    else if ((encoding == "B" || encoding == "BASE64") && !decodeBase64(property.value, bytes))
        decoded.clean = false;
    if (isAscii(bytes)) {
        decoded.text = QString::fromLatin1(bytes);
        return decoded;
    }
    const QByteArray charset = property.parameter("CHARSET").toUpper();
    const QString declared = QString::fromLatin1(charset);
    const bool foreign = !charset.isEmpty() && charset != "UTF-8" && charset != "UTF8";
    // Phones declare their own code page and then write UTF-8: the bytes tell.
    if (foreign && (isGbkName(charset) || charset.startsWith("BIG5")) && looksLikeUtf8(bytes, decoded.text)) {
        decoded.note = QStringLiteral("声明为 %1，实为 UTF-8，已按 UTF-8 读取").arg(declared);
        return decoded;
    }
    if (isGbkName(charset) && decodeGbk(bytes, decoded.text))
        return decoded;
    if (foreign && !isGbkName(charset) && decodeNamed(bytes, charset, decoded.text))
        return decoded;
    if (decodeUtf8(bytes, decoded.text)) {
        if (foreign)
            decoded.note = QStringLiteral("%1 无法读取，已按 UTF-8 读取").arg(declared);
        return decoded;
    }
    // A guess never changes the ASCII part of a name or an address.
    if (!isGbkName(charset) && IsWesternRatherThanGbk(bytes)) {
        decoded.text = FromWindows1252(bytes);
        decoded.note = charset.isEmpty() ? QStringLiteral("未声明编码，按西文 Windows-1252 读取")
                                         : QStringLiteral("%1 无法读取，已按西文 Windows-1252 读取").arg(declared);
        return decoded;
    }
    if (decodeGbk(bytes, decoded.text)) {
        if (!charset.isEmpty() && !isGbkName(charset))
            decoded.note = QStringLiteral("%1 无法读取，已按 GB18030 读取").arg(declared);
        return decoded;
    }
    decoded.text = QString::fromUtf8(bytes);
    decoded.clean = false;
    return decoded;
}

QStringList splitEscaped(const QString& text, QChar separator)
{
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\'))
            ++i;
        else if (text[i] == separator) {
            parts.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.mid(start));
    return parts;
}

QString unescapeText(const QString& text, bool newlineEscapes)
{
    if (!text.contains(QLatin1Char('\\')))
        return text;
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            plain += c;
            continue;
        }
        const QChar escaped = text[i + 1];
        if (escaped == QLatin1Char('\\') || escaped == QLatin1Char(',') || escaped == QLatin1Char(';')) {
            plain += escaped;
            ++i;
        } else if (newlineEscapes && (escaped == QLatin1Char('n') || escaped == QLatin1Char('N'))) {
            plain += QLatin1Char('\n');
            ++i;
        } else {
            plain += c;
        }
    }
    return plain;
}
