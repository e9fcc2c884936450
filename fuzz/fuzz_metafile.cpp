// A Windows or enhanced metafile: its header read as a load reads it, then its
// records played onto a small canvas; and played again without the header
// check, as the drawing code meets whatever bytes a metafile holds.

#include "fuzz/PictureFuzzing.h"
#include "photo/MetafileRenderer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    TMetafile metafile;
    LoadAndDraw(metafile, bytes);

    QImage canvas(33, 21, QImage::Format_RGB32);
    QPainter painter(&canvas);
    painter.translate(40, 0);
    painter.scale(-1, 1);  // a mirrored target, as a negative extent makes one
    PlayMetafile(painter, QRectF(3, 2, 25, 15), bytes);
    return 0;
}
