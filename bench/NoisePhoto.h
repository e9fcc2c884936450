#pragma once
// Photos for the benchmarks that carry them.

#include "photo/JpegCodec.h"

#include <QByteArray>
#include <QImage>

// A real JPEG of about 20 KB: noise compresses badly, as photos do.
inline QByteArray photoOfAbout20K(int seed)
{
    QImage image(144, 144, QImage::Format_RGB32);
    quint32 x = 2463534242u + quint32(seed);
    for (int y = 0; y < image.height(); ++y)
        for (int i = 0; i < image.width(); ++i) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            image.setPixel(i, y, x | 0xff000000u);
        }
    return CompressJpeg(image);
}
