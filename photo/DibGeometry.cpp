#include "DibGeometry.h"

#include <QImage>
#include <QtEndian>

namespace {

// Every header starts with its own size, which tells the two layouts apart.
constexpr qsizetype HeaderSizeField = 0;
constexpr qsizetype LargestHeaderSize = 1024;

// BITMAPCOREHEADER: 16-bit width and height, RGB triples in its colour table.
constexpr qsizetype CoreHeaderSize = 12;
namespace Core {
constexpr qsizetype Width = 4, Height = 6, BitCount = 10;
}

// BITMAPINFOHEADER and its longer successors: 32-bit width and height (a
// negative height for top-down rows), RGBQUADs in the colour table, which the
// three or four colour masks of a bare BITMAPINFOHEADER precede.
constexpr qsizetype InfoHeaderSize = 40;
namespace Info {
constexpr qsizetype Width = 4, Height = 8, BitCount = 14, Compression = 16, ColoursUsed = 32;
}
constexpr qsizetype MaskBytes = 4;

quint16 U16(QByteArrayView b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.data() + at);
}
quint32 U32(QByteArrayView b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.data() + at);
}
qint32 I32(QByteArrayView b, qsizetype at)
{
    return qFromLittleEndian<qint32>(b.data() + at);
}

bool KnownDepth(int bitCount)
{
    switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: return true;
    default: return false;
    }
}

}  // namespace

std::optional<DibGeometry> ReadDibGeometry(QByteArrayView info)
{
    if (info.size() < 4)
        return std::nullopt;
    DibGeometry g;
    g.headerSize = qsizetype(U32(info, HeaderSizeField));
    qsizetype colours = 0;
    if (g.headerSize == CoreHeaderSize) {
        if (info.size() < CoreHeaderSize)
            return std::nullopt;
        g.width = U16(info, Core::Width);
        g.height = U16(info, Core::Height);
        g.bitCount = U16(info, Core::BitCount);
        colours = g.bitCount <= 8 ? (qsizetype(1) << g.bitCount) : 0;
        g.infoSize = CoreHeaderSize + colours * 3;
    } else {
        if (g.headerSize < InfoHeaderSize || g.headerSize > LargestHeaderSize || info.size() < g.headerSize)
            return std::nullopt;
        g.width = I32(info, Info::Width);
        const qint64 height = I32(info, Info::Height);  // the sign goes before anything overflows
        g.bottomUp = height > 0;
        g.height = height < 0 ? -height : height;
        g.bitCount = U16(info, Info::BitCount);
        g.compression = U32(info, Info::Compression);
        const quint32 used = U32(info, Info::ColoursUsed);
        colours = used ? qsizetype(used) : (g.bitCount <= 8 ? (qsizetype(1) << g.bitCount) : 0);
        if (g.bitCount <= 8 && colours > 256)
            colours = 256;
        qsizetype masks = 0;
        if (g.headerSize == InfoHeaderSize && g.compression == BI_BITFIELDS)
            masks = 3 * MaskBytes;
        else if (g.headerSize == InfoHeaderSize && g.compression == BI_ALPHABITFIELDS)
            masks = 4 * MaskBytes;
        g.infoSize = g.headerSize + masks + colours * 4;
    }
    if (!KnownDepth(g.bitCount) || g.width <= 0 || g.height <= 0 || g.width * g.height > MaxDibPixels)
        return std::nullopt;
    return g;
}

QImage WithWholeColourTable(QImage image)
{
    int needed = 0;
    switch (image.format()) {
    case QImage::Format_Indexed8: needed = 256; break;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: needed = 2; break;
    default: return image;
    }
    QList<QRgb> table = image.colorTable();
    if (table.size() >= needed)
        return image;
    table.resize(needed, qRgb(0, 0, 0));
    image.setColorTable(table);
    return image;
}
