#include "StoredText.h"

#include "platform/Gbk.h"

int WellFormedUtf16Length(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    int units = 0;
    while (p < end) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
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
        p += more + 1;
        units += more == 3 ? 2 : 1;
    }
    return units;
}

bool IsWellFormedUtf8(QByteArrayView bytes)
{
    return WellFormedUtf16Length(bytes) >= 0;
}

void DecodeWellFormedUtf8(QByteArrayView bytes, char16_t* out)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
            *out++ = lead;
            ++p;
        } else if (lead < 0xE0) {
            *out++ = char16_t(((lead & 0x1F) << 6) | (p[1] & 0x3F));
            p += 2;
        } else if (lead < 0xF0) {
            *out++ = char16_t(((lead & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
            p += 3;
        } else {
            const char32_t code = ((lead & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
            *out++ = QChar::highSurrogate(code);
            *out++ = QChar::lowSurrogate(code);
            p += 4;
        }
    }
}

void DecodeStoredText(QByteArrayView bytes, QString& out)
{
    const int units = WellFormedUtf16Length(bytes);
    if (units < 0) {
        out = fromGbk(bytes.toByteArray());
        return;
    }
    // Not QString::fromUtf8: it drops a leading byte order mark, which would
    // move every later value of a record by one character.
    out.resize(units);
    DecodeWellFormedUtf8(bytes, reinterpret_cast<char16_t*>(out.data()));
}

QString DecodeStoredText(QByteArrayView bytes)
{
    QString text;
    DecodeStoredText(bytes, text);
    return text;
}
