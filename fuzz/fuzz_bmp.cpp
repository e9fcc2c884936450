// A .bmp file as the photo box and the preview read it: loading refuses what it
// cannot read with its message, and what loads draws.

#include "fuzz/PictureFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TBitmap bitmap;
    LoadAndDraw(bitmap, FuzzBytes(data, size));
    return 0;
}
