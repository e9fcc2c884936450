#include "StoredText.h"

#include "platform/Gbk.h"

#include <cstring>

namespace {

// Whether the eight bytes at p are all ASCII: a book's digits, dates and
// Latin letters come in such runs, taken eight at a time.
bool eightAscii(const unsigned char* p)
{
    quint64 word;
    std::memcpy(&word, p, sizeof word);
    return (word & 0x8080808080808080ULL) == 0;
}

// Reads bytes as UTF-8: the UTF-16 units they decode to, or -1 at the first
// byte that is not well-formed UTF-8. With Write, each unit is also written to
// out, which has room for bytes.size() units, in the same pass.
template <bool Write>
int walkUtf8(QByteArrayView bytes, char16_t* out)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    int units = 0;
    while (p < end) {
        if (end - p >= 8 && eightAscii(p)) {
            if constexpr (Write)
                for (int k = 0; k < 8; ++k)
                    out[units + k] = p[k];
            p += 8;
            units += 8;
            continue;
        }
        const unsigned char lead = *p;
        if (lead < 0x80) {
            if constexpr (Write)
                out[units] = lead;
            ++p;
            ++units;
            continue;
        }
        // The range of the second byte narrows for the leads that could
        // otherwise spell an overlong form, a surrogate or too large a value.
        int more = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            return -1;
        }
        if (end - p <= more || p[1] < low || p[1] > high)
            return -1;
        for (int i = 2; i <= more; ++i)
            if ((p[i] & 0xC0) != 0x80)
                return -1;
        if constexpr (Write) {
            if (more == 1) {
                out[units] = char16_t(((lead & 0x1F) << 6) | (p[1] & 0x3F));
            } else if (more == 2) {
                out[units] = char16_t(((lead & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
            } else {
                const char32_t code =
                    ((lead & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
                out[units] = QChar::highSurrogate(code);
                out[units + 1] = QChar::lowSurrogate(code);
            }
        }
        p += more + 1;
        units += more == 3 ? 2 : 1;
    }
    return units;
}

}  // namespace

int WellFormedUtf16Length(QByteArrayView bytes)
{
    return walkUtf8<false>(bytes, nullptr);
}

bool IsWellFormedUtf8(QByteArrayView bytes)
{
    return WellFormedUtf16Length(bytes) >= 0;
}

int DecodeIfWellFormedUtf8(QByteArrayView bytes, char16_t* out)
{
    return walkUtf8<true>(bytes, out);
}

void DecodeStoredText(QByteArrayView bytes, QString& out)
{
    // Not QString::fromUtf8: it drops a leading byte order mark, which would
    // move every later value of a record by one character.
    out.resize(bytes.size());  // UTF-8 never takes fewer bytes than UTF-16 units
    const int units = DecodeIfWellFormedUtf8(bytes, reinterpret_cast<char16_t*>(out.data()));
    if (units < 0)
        out = fromGbk(bytes.toByteArray());
    else
        out.resize(units);
}

QString DecodeStoredText(QByteArrayView bytes)
{
    QString text;
    DecodeStoredText(bytes, text);
    return text;
}
