// TIcon: an icon file kept whole, drawn from its largest image.

#include "Errors.h"
#include "Graphics.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>

namespace {

constexpr int IconHeaderSize = 6;   // reserved, type, count
constexpr int IconEntrySize = 16;

[[noreturn]] void InvalidIcon()
{
    throw EInvalidGraphic(QStringLiteral("图标图象无效"));
}

quint16 Word(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

// Every image of the file; the reader decides what it can decode.
QImage LargestIconImage(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    reader.setDecideFormatFromContent(false);
    QImage best;
    do {
        QImage image = reader.read();
        if (image.isNull())
            break;
        if (best.isNull() || qint64(image.width()) * image.height() > qint64(best.width()) * best.height())
            best = image;
    } while (reader.jumpToNextImage());
    return best;
}

} // namespace

bool TIcon::Empty() const
{
    return Data.isEmpty();
}

int TIcon::Width() const
{
    return Image.width();
}

int TIcon::Height() const
{
    return Image.height();
}

void TIcon::Draw(QPainter& painter, const QRect& rect) const
{
    if (!Image.isNull())
        painter.drawImage(rect, Image);
}

std::unique_ptr<TGraphic> TIcon::Clone() const
{
    return std::make_unique<TIcon>(*this);
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

    QImage image = LargestIconImage(bytes);
    if (image.isNull())
        InvalidIcon();
    Data = bytes;
    Image = image;
}
