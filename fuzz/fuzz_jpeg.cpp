// JPEG data as the photo box and the preview read it: the header, read at
// once on load; the full-size decode with the display settings; the preview's
// scaled decode. Library errors must come back as EJPEG and nothing else.

#include "fuzz/PictureFuzzing.h"
#include "photo/JpegCodec.h"

namespace {

// Beyond this the full-size decode is still correct but too slow for the fuzzer
// to learn anything; the scaled decode covers such pictures.
constexpr qint64 FullDecodePixels = 1 << 21;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    JpegHeader header;
    try {
        header = ReadJpegHeader(bytes);
    } catch (const EJPEG&) {
        return 0;
    }
    try {
        DecodeJpegToFit(bytes, QSize(141, 141));
        DecodeJpegToFit(bytes, QSize(3, 200));
    } catch (const EJPEG&) {
    }
    if (qint64(header.Width) * header.Height <= FullDecodePixels) {
        try {
            DecodeJpeg(bytes);
        } catch (const EJPEG&) {
        }
    }
    return 0;
}
