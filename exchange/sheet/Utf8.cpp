#include "Utf8.h"

bool decodeUtf8(const char*& p, const char* end, char32_t& c)
{
    const auto b = static_cast<unsigned char>(*p);
    int more = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        more = 1;
        c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        more = 2;
        c = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        more = 3;
        c = b & 0x07;
    } else {
        return false;
    }
    if (end - p <= more)
        return false;
    for (int i = 1; i <= more; ++i) {
        const auto n = static_cast<unsigned char>(p[i]);
        if ((n & 0xC0) != 0x80)
            return false;
        c = (c << 6) | (n & 0x3F);
    }
    if ((more == 2 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) || (more == 3 && (c < 0x10000 || c > 0x10FFFF)))
        return false;
    p += more + 1;
    return true;
}

bool isValidUtf8(QByteArrayView bytes)
{
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        char32_t c = 0;
        if (static_cast<unsigned char>(*p) < 0x80)
            ++p;
        else if (!decodeUtf8(p, end, c))
            return false;
    }
    return true;
}
