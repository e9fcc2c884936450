#pragma once
// The size and layout a device-independent bitmap's header claims (a .bmp file,
// an icon image, a bitmap inside a metafile), read with bounds so that no claim
// can overflow a size or ask for more memory than the image reader grants.

#include <QByteArrayView>
#include <optional>

// How a DIB's pixels are stored (the header's compression field).
enum DibCompression : quint32 { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6 };

// 120 MiB of 32-bit pixels: within the image reader's own allocation limit.
inline constexpr qint64 MaxDibPixels = 30'000'000;

struct DibGeometry {
    qint64 width = 0;
    qint64 height = 0;  // rows, whatever the direction
    bool bottomUp = true;
    int bitCount = 0;
    quint32 compression = 0;   // BI_RGB, BI_RLE8, ...
    qsizetype headerSize = 0;  // the header alone
    qsizetype infoSize = 0;    // header, colour masks and colour table: where the bits start in a packed DIB

    // Rows stored as they are (no run-length or embedded compression).
    bool Uncompressed() const
    {
        return compression == BI_RGB || compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS;
    }
    qint64 RowBytes() const { return (width * bitCount + 31) / 32 * 4; }
    // For an uncompressed DIB: bits enough for every row.
    bool BitsFit(qint64 bitsSize) const { return !Uncompressed() || RowBytes() * height <= bitsSize; }
};

// Reads a BITMAPCOREHEADER or a BITMAPINFOHEADER (or one of its longer successors)
// at the start of info. Nothing when it is cut short, names no pixels, a depth
// that does not exist, or more than MaxDibPixels.
std::optional<DibGeometry> ReadDibGeometry(QByteArrayView info);

class QImage;

// A palette image as the bitmap reader gives it may have pixels whose index lies
// beyond its colour table (a file whose table is shorter than its pixels use);
// drawing one would read past the table. The table is filled up with black.
QImage WithWholeColourTable(QImage image);
