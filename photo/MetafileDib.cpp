#include "MetafileDib.h"

#include "photo/DibGeometry.h"

#include <QtEndian>

namespace {

// The header of a .bmp file: "BM", the file's size, where the bits start.
constexpr int FileHeaderSize = 14;
constexpr qsizetype FileSizeField = 2, BitsOffsetField = 10;

void PutU32(char* at, quint32 v)
{
    qToLittleEndian<quint32>(v, at);
}

QImage DecodeAsBmpFile(QByteArrayView info, QByteArrayView bits, DibPixelBudget& budget)
{
    const std::optional<DibGeometry> geometry = ReadDibGeometry(info);
    if (!geometry || !geometry->BitsFit(bits.size()) || !budget.Take(geometry->width * geometry->height))
        return QImage();
    QByteArray file(FileHeaderSize, '\0');
    file[0] = 'B';
    file[1] = 'M';
    PutU32(file.data() + FileSizeField, quint32(FileHeaderSize + info.size() + bits.size()));
    PutU32(file.data() + BitsOffsetField, quint32(FileHeaderSize + info.size()));
    file.append(info.data(), info.size());
    file.append(bits.data(), bits.size());
    QImage image;
    image.loadFromData(file, "BMP");
    return WithWholeColourTable(image);
}

}  // namespace

qsizetype DibInfoSize(QByteArrayView dib)
{
    const std::optional<DibGeometry> geometry = ReadDibGeometry(dib);
    return geometry ? geometry->infoSize : -1;
}

QImage DecodePackedDib(QByteArrayView dib, DibPixelBudget& budget)
{
    const qsizetype infoSize = DibInfoSize(dib);
    if (infoSize < 0 || infoSize > dib.size())
        return QImage();
    return DecodeAsBmpFile(dib.first(infoSize), dib.sliced(infoSize), budget);
}

QImage DecodeDib(QByteArrayView info, QByteArrayView bits, DibPixelBudget& budget)
{
    return DecodeAsBmpFile(info, bits, budget);
}

bool DibIsBottomUp(QByteArrayView info)
{
    const std::optional<DibGeometry> geometry = ReadDibGeometry(info);
    return !geometry || geometry->bottomUp;
}
