#include "StoredText.h"

#include "platform/Gbk.h"

#include <QStringDecoder>

bool IsWellFormedUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
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
            return false;
        }
        if (end - p <= more || p[1] < low || p[1] > high)
            return false;
        for (int i = 2; i <= more; ++i)
            if ((p[i] & 0xC0) != 0x80)
                return false;
        p += more + 1;
    }
    return true;
}

QString FromWellFormedUtf8(QByteArrayView bytes)
{
    // QString::fromUtf8 drops a leading byte order mark, which would move every
    // later value of a record by one character.
    thread_local QStringDecoder decoder(QStringConverter::Utf8,
                                        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

QString DecodeStoredText(QByteArrayView bytes)
{
    if (IsWellFormedUtf8(bytes))
        return FromWellFormedUtf8(bytes);
    return fromGbk(bytes.toByteArray());
}
