#include "MetafileHeader.h"

#include "photo/MetafileLayout.h"
#include "photo/MetafileRecords.h"
#include "platform/Errors.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace {

constexpr double ScreenPixelsPerInch = 96.0;

struct ShortFile {};
struct NotAMetafile {};

quint16 U16(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}
qint16 I16(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<qint16>(b.constData() + at);
}
quint32 U32(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

// The size on screen, kept to a side that can be drawn and added to without
// overflow: bounds of 0 to 2^31 - 1 are a claim, not a picture.
QSize PixelSize(double width, double height)
{
    width = std::abs(width);
    height = std::abs(height);
    const double longest = std::max(width, height);
    if (longest > MaxMetafileSide) {
        width *= MaxMetafileSide / longest;
        height *= MaxMetafileSide / longest;
    }
    return QSize(int(std::lround(width)), int(std::lround(height)));
}

void CheckStandardWmfHeader(const QByteArray& b, int at)
{
    if (b.size() < at + Wmf::StandardHeaderSize)
        throw ShortFile{};
    const quint16 type = U16(b, at + Wmf::StandardHeader::Type);
    const quint16 headerWords = U16(b, at + Wmf::StandardHeader::HeaderWords);
    if ((type != Wmf::StandardHeader::InMemory && type != Wmf::StandardHeader::OnDisk)
        || headerWords != Wmf::StandardHeaderSize / 2)
        throw NotAMetafile{};
}

// A standard WMF names its picture only through the window it sets up; take the first one.
QRectF FirstWindow(const QByteArray& b, int at)
{
    QPointF origin;
    qsizetype pos = at;
    bool originSeen = false;
    using namespace Wmf;
    constexpr qsizetype PointRecordSize = Record::Params + 4;
    while (pos + Record::Params <= b.size()) {
        const qint64 bytes = qint64(U32(b, pos + Record::SizeWords)) * 2;
        const quint16 function = U16(b, pos + Record::Function);
        if (bytes < Record::Params || pos + bytes > b.size() || function == META_EOF)
            break;
        const auto point = [&] {
            const qsizetype at = pos + Record::Params + FirstParam;
            return QPointF(I16(b, at + Point::X), I16(b, at + Point::Y));
        };
        if (bytes >= PointRecordSize && function == META_SETWINDOWORG && !originSeen) {
            origin = point();
            originSeen = true;
        } else if (bytes >= PointRecordSize && function == META_SETWINDOWEXT) {
            const QPointF extent = point();
            return QRectF(origin, QSizeF(extent.x(), extent.y()));
        }
        pos += bytes;
    }
    return QRectF();
}

MetafileHeader ReadPlaceable(const QByteArray& b)
{
    if (b.size() < Wmf::PlaceableHeaderSize)
        throw ShortFile{};
    using namespace Wmf::Placeable;
    quint16 checksum = 0;
    for (int i = 0; i < ChecksumWords; ++i)
        checksum ^= U16(b, i * 2);
    if (checksum != U16(b, Checksum))
        throw NotAMetafile{};
    CheckStandardWmfHeader(b, Wmf::PlaceableHeaderSize);

    const QPointF topLeft(I16(b, Left), I16(b, Top));
    const QPointF bottomRight(I16(b, Right), I16(b, Bottom));
    // Units per inch; a file giving none is taken to count in screen pixels.
    const quint16 inch = U16(b, UnitsPerInch);
    const double scale = ScreenPixelsPerInch / (inch ? inch : ScreenPixelsPerInch);

    MetafileHeader h;
    h.placeable = true;
    h.recordsOffset = Wmf::PlaceableHeaderSize + Wmf::StandardHeaderSize;
    h.frame = QRectF(topLeft, bottomRight);
    h.pixels = PixelSize(h.frame.width() * scale, h.frame.height() * scale);
    return h;
}

MetafileHeader ReadStandard(const QByteArray& b)
{
    CheckStandardWmfHeader(b, 0);
    MetafileHeader h;
    h.recordsOffset = Wmf::StandardHeaderSize;
    h.frame = FirstWindow(b, h.recordsOffset);
    h.pixels = PixelSize(h.frame.width(), h.frame.height());
    return h;
}

MetafileHeader ReadEnhanced(const QByteArray& b)
{
    if (b.size() < Emf::MinHeaderSize)
        throw ShortFile{};
    using namespace Emf::Header;
    const quint32 size = U32(b, Emf::Record::Size);
    if (U32(b, Signature) != Emf::Signature || size < quint32(Emf::MinHeaderSize) || size > quint32(b.size())
        || size % 4)
        throw NotAMetafile{};

    RecordParams header(QByteArrayView(b).first(Emf::MinHeaderSize));
    const QRectF inclusiveBounds = header.BoxAt<Emf::Box>(Bounds);  // its right and bottom pixels are in the picture
    const QRectF bounds(inclusiveBounds.topLeft(), inclusiveBounds.bottomRight() + QPointF(1.0, 1.0));
    const QRectF frameMM = header.BoxAt<Emf::Box>(Frame);  // 0.01 mm
    const QSizeF devicePixels = header.SizeAt<Emf::Point>(DevicePixels);
    const QSizeF deviceMM = header.SizeAt<Emf::Point>(DeviceMillimetres);
    const double devicePixelsX = devicePixels.width(), devicePixelsY = devicePixels.height();
    const double deviceMMX = deviceMM.width(), deviceMMY = deviceMM.height();

    MetafileHeader h;
    h.enhanced = true;
    h.recordsOffset = int(size);
    // The frame, in the reference device's pixels, is what playing maps onto the target.
    if (deviceMMX > 0 && deviceMMY > 0 && devicePixelsX > 0 && devicePixelsY > 0 && !frameMM.isEmpty()) {
        const double sx = devicePixelsX / (deviceMMX * 100.0);
        const double sy = devicePixelsY / (deviceMMY * 100.0);
        h.frame = QRectF(QPointF(frameMM.left() * sx, frameMM.top() * sy),
                         QPointF(frameMM.right() * sx, frameMM.bottom() * sy));
    } else {
        h.frame = bounds;
    }
    const double mmToPixels = ScreenPixelsPerInch / 2540.0;
    if (frameMM.isEmpty())
        h.pixels = PixelSize(bounds.width(), bounds.height());
    else
        h.pixels = PixelSize(frameMM.width() * mmToPixels, frameMM.height() * mmToPixels);
    return h;
}

MetafileHeader Read(const QByteArray& b)
{
    if (b.isEmpty())
        throw NotAMetafile{};
    if (b.size() < 4)
        throw ShortFile{};
    // The first four bytes: the placeable key, the EMF header record's type, or a standard header.
    const quint32 key = U32(b, 0);
    if (key == Wmf::PlaceableKey)
        return ReadPlaceable(b);
    if (key == Emf::EMR_HEADER)
        return ReadEnhanced(b);
    return ReadStandard(b);
}

}  // namespace

MetafileHeader ReadMetafileHeader(const QByteArray& bytes)
{
    try {
        return Read(bytes);
    } catch (const ShortFile&) {
        throw EReadError(QStringLiteral("读流发生错误"));
    } catch (const NotAMetafile&) {
        throw EInvalidGraphic(QStringLiteral("元文件无效"));
    }
}

std::optional<MetafileHeader> TryReadMetafileHeader(const QByteArray& bytes)
{
    try {
        return Read(bytes);
    } catch (const ShortFile&) {
    } catch (const NotAMetafile&) {
    }
    return std::nullopt;
}
