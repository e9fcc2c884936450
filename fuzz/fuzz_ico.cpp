// An .ico file as the photo box and the preview read it: the directory and the
// one image chosen from it, then drawing.

#include "fuzz/PictureFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TIcon icon;
    LoadAndDraw(icon, FuzzBytes(data, size));
    return 0;
}
