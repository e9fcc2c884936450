// Base64Decode on any text: never reads past its input, never crashes; what it
// decodes encodes back to a text that decodes to the same bytes.

#include "store/Base64.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray decoded = Base64Decode(text);
    if (Base64Decode(Base64Encode(decoded)) != decoded)
        std::abort();
    return 0;
}
