#include "MetafileDib.h"

#include <QtEndian>

namespace {

constexpr int CoreHeaderSize = 12;     // BITMAPCOREHEADER
constexpr int InfoHeaderSize = 40;     // BITMAPINFOHEADER
constexpr int FileHeaderSize = 14;     // "BM" header of a .bmp file
constexpr qint64 MaxPixels = 16LL * 1024 * 1024;  // within the image reader's allocation limit

quint16 U16(QByteArrayView b, qsizetype at) { return qFromLittleEndian<quint16>(b.data() + at); }
quint32 U32(QByteArrayView b, qsizetype at) { return qFromLittleEndian<quint32>(b.data() + at); }
qint32 I32(QByteArrayView b, qsizetype at) { return qFromLittleEndian<qint32>(b.data() + at); }

// A size we can hold, and, for uncompressed rows, bits enough for all of them.
bool SizeIsSane(QByteArrayView info, qsizetype bitsSize)
{
    const quint32 headerSize = U32(info, 0);
    qint64 width = 0, height = 0;
    int bitCount = 0;
    quint32 compression = 0;
    if (headerSize == CoreHeaderSize) {
        width = U16(info, 4);
        height = U16(info, 6);
        bitCount = U16(info, 10);
    } else {
        if (info.size() < InfoHeaderSize)
            return false;
        width = I32(info, 4);
        height = I32(info, 8);
        if (height < 0)
            height = -qint64(height);
        bitCount = U16(info, 14);
        compression = U32(info, 16);
    }
    if (width <= 0 || height <= 0 || width * height > MaxPixels)
        return false;
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    const qint64 stride = (width * bitCount + 31) / 32 * 4;
    return !uncompressed || stride * height <= bitsSize;
}

void PutU32(char* at, quint32 v) { qToLittleEndian<quint32>(v, at); }

QImage DecodeAsBmpFile(QByteArrayView info, QByteArrayView bits)
{
    if (info.size() < 4 || info.size() < qsizetype(U32(info, 0)) || !SizeIsSane(info, bits.size()))
        return QImage();
    QByteArray file(FileHeaderSize, '\0');
    file[0] = 'B';
    file[1] = 'M';
    PutU32(file.data() + 2, quint32(FileHeaderSize + info.size() + bits.size()));
    PutU32(file.data() + 10, quint32(FileHeaderSize + info.size()));
    file.append(info.data(), info.size());
    file.append(bits.data(), bits.size());
    QImage image;
    image.loadFromData(file, "BMP");
    return image;
}

} // namespace

qsizetype DibInfoSize(QByteArrayView dib)
{
    if (dib.size() < 4)
        return -1;
    const quint32 headerSize = U32(dib, 0);
    if (headerSize == CoreHeaderSize) {
        if (dib.size() < CoreHeaderSize)
            return -1;
        const int bitCount = U16(dib, 10);
        const qsizetype colours = bitCount <= 8 ? (qsizetype(1) << bitCount) : 0;
        return CoreHeaderSize + colours * 3;
    }
    if (headerSize < InfoHeaderSize || headerSize > 1024 || dib.size() < qsizetype(headerSize))
        return -1;
    const int bitCount = U16(dib, 14);
    const quint32 compression = U32(dib, 16);
    const quint32 used = U32(dib, 32);
    qsizetype colours = used ? qsizetype(used) : (bitCount <= 8 ? (qsizetype(1) << bitCount) : 0);
    if (colours > 256 && bitCount <= 8)
        colours = 256;
    qsizetype masks = 0;
    if (headerSize == InfoHeaderSize && compression == 3)   // BI_BITFIELDS
        masks = 12;
    else if (headerSize == InfoHeaderSize && compression == 6)  // BI_ALPHABITFIELDS
        masks = 16;
    return headerSize + masks + colours * 4;
}

QImage DecodePackedDib(QByteArrayView dib)
{
    const qsizetype infoSize = DibInfoSize(dib);
    if (infoSize < 0 || infoSize > dib.size())
        return QImage();
    return DecodeAsBmpFile(dib.first(infoSize), dib.sliced(infoSize));
}

QImage DecodeDib(QByteArrayView info, QByteArrayView bits)
{
    return DecodeAsBmpFile(info, bits);
}

bool DibIsBottomUp(QByteArrayView info)
{
    if (info.size() < 12)
        return true;
    if (U32(info, 0) == CoreHeaderSize)
        return true;
    return I32(info, 8) > 0;
}
