// TIcon: an icon file kept whole, drawn from its largest image. Only that image
// is decoded: a file may list thousands of entries, all naming the same bytes.

#include "photo/DibGeometry.h"
#include "photo/Graphics.h"
#include "platform/Errors.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>
#include <algorithm>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace {

constexpr int IconHeaderSize = 6;  // reserved, type, count
constexpr int IconEntrySize = 16;  // width, height, colours, reserved, planes, bit count, size, offset
constexpr qint64 MaxIconSide = 4096;
// When the largest image cannot be decoded, the next ones are tried, but only so many.
constexpr int MaxDecodeAttempts = 4;

[[noreturn]] void InvalidIcon()
{
    throw EInvalidGraphic(QStringLiteral("图标图象无效"));
}

quint16 Word(const QByteArray& bytes, qsizetype offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

quint32 Dword(const QByteArray& bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

struct IconEntry {
    qsizetype directoryAt = 0;  // where its 16 bytes are
    qsizetype offset = 0;       // its image's bytes
    qsizetype size = 0;
    qint64 pixels = 0;
    int bitCount = 0;
};

// The entry's image as its own header describes it (a PNG or a DIB whose
// height counts the mask rows too); nothing when that header claims what cannot be.
std::optional<IconEntry> ReadEntry(const QByteArray& bytes, int index)
{
    IconEntry entry;
    entry.directoryAt = IconHeaderSize + qsizetype(index) * IconEntrySize;
    const qint64 size = Dword(bytes, entry.directoryAt + 8);
    const qint64 offset = Dword(bytes, entry.directoryAt + 12);
    if (offset > bytes.size() || size > bytes.size() - offset)
        return std::nullopt;
    entry.offset = qsizetype(offset);
    entry.size = qsizetype(size);
    const QByteArrayView image = QByteArrayView(bytes).sliced(entry.offset, entry.size);

    qint64 width = 0, height = 0;
    static const char png[] = "\x89PNG\r\n\x1a\n";
    if (image.startsWith(QByteArrayView(png, 8))) {
        if (image.size() < 24)
            return std::nullopt;
        width = qFromBigEndian<quint32>(image.data() + 16);
        height = qFromBigEndian<quint32>(image.data() + 20);
        entry.bitCount = Word(bytes, entry.directoryAt + 6);  // the directory's, as a PNG has no such field
    } else {
        const std::optional<DibGeometry> dib = ReadDibGeometry(image);
        if (!dib)
            return std::nullopt;
        width = dib->width;
        height = dib->height / 2;
        entry.bitCount = dib->bitCount;
    }
    if (width <= 0 || height <= 0 || width > MaxIconSide || height > MaxIconSide)
        return std::nullopt;
    entry.pixels = width * height;
    return entry;
}

// A file of one entry: the icon reader then decodes that image and no other.
QImage DecodeEntry(const QByteArray& bytes, const IconEntry& entry)
{
    const qsizetype imageAt = IconHeaderSize + IconEntrySize;
    QByteArray single = bytes.first(IconHeaderSize);
    qToLittleEndian<quint16>(1, single.data() + 4);
    single.append(bytes.constData() + entry.directoryAt, IconEntrySize);
    qToLittleEndian<quint32>(quint32(imageAt), single.data() + IconHeaderSize + 12);
    single.append(bytes.constData() + entry.offset, entry.size);

    QBuffer buffer(&single);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    reader.setDecideFormatFromContent(false);
    return WithWholeColourTable(reader.read());
}

QImage LargestIconImage(const QByteArray& bytes, int count)
{
    std::vector<IconEntry> entries;
    for (int i = 0; i < count; ++i)
        if (std::optional<IconEntry> entry = ReadEntry(bytes, i))
            entries.push_back(*entry);
    // Largest first, then deepest colour; the earlier entry among equals.
    std::stable_sort(entries.begin(), entries.end(), [](const IconEntry& a, const IconEntry& b) {
        return a.pixels != b.pixels ? a.pixels > b.pixels : a.bitCount > b.bitCount;
    });
    std::set<std::pair<qsizetype, qsizetype>> tried;
    for (const IconEntry& entry : entries) {
        if (!tried.insert({entry.offset, entry.size}).second)
            continue;  // the same bytes fail the same way
        QImage image = DecodeEntry(bytes, entry);
        if (!image.isNull())
            return image;
        if (int(tried.size()) >= MaxDecodeAttempts)
            break;
    }
    return QImage();
}

}  // namespace

bool TIcon::Empty() const
{
    return Data.isEmpty();
}

void TIcon::Draw(QPainter& painter, const QRect& rect) const
{
    if (!Image.isNull())
        painter.drawImage(rect, Image);
}

void TIcon::LoadFromBytes(const QByteArray& bytes)
{
    if (bytes.size() < IconHeaderSize)
        throw EReadError(QStringLiteral("读流发生错误"));
    const quint16 reserved = Word(bytes, 0);
    const quint16 type = Word(bytes, 2);
    const quint16 count = Word(bytes, 4);
    if (reserved != 0 || type != 1 || count < 1)
        InvalidIcon();
    if (bytes.size() < IconHeaderSize + IconEntrySize * qsizetype(count))
        InvalidIcon();

    QImage image = LargestIconImage(bytes, count);
    if (image.isNull())
        InvalidIcon();
    Data = bytes;
    Image = image;
}
