// Windows metafile records. Parameters are 16-bit words, stored in reverse of
// the order the drawing calls take them (y before x, bottom-right before top-left).

#include "photo/MetafileCanvas.h"
#include "photo/MetafileDib.h"
#include "photo/MetafileLayout.h"
#include "photo/MetafilePlayers.h"
#include "photo/MetafileRecords.h"

#include <optional>

namespace {

using namespace Wmf;

class WmfPlayer {
public:
    explicit WmfPlayer(MetafileCanvas& canvas) : canvas_(canvas) {}

    // false: the record is damaged and drawing stops.
    bool Play(quint16 function, RecordParams& p);

private:
    void Create(GdiObject object);
    std::optional<GdiObject>* Slot(quint16 index);
    void Blit(RecordParams& p, quint16 function);

    MetafileCanvas& canvas_;
    std::vector<std::optional<GdiObject>> objects_;
    DibPixelBudget dibPixels_;
};

void WmfPlayer::Create(GdiObject object)
{
    // A new object takes the lowest free slot of the object table.
    for (auto& slot : objects_) {
        if (!slot) {
            slot = std::move(object);
            return;
        }
    }
    if (objects_.size() < 65535)
        objects_.push_back(std::move(object));
}

std::optional<GdiObject>* WmfPlayer::Slot(quint16 index)
{
    return index < objects_.size() ? &objects_[index] : nullptr;
}

void WmfPlayer::Blit(RecordParams& p, quint16 function)
{
    const quint32 rop = p.U32(Blit::RasterOperation);
    if (function == META_PATBLT) {
        const QRectF dest = p.ExtentAt<Extent>(PatBlt::Dest);
        if (!p.Bad())
            canvas_.PatternFill(dest, rop);
        return;
    }
    // Without a bitmap the record is as long as its function's high byte says, plus a reserved word.
    const bool hasBitmap = p.Size() / 2 + 3 > (function >> 8) + 3;
    const qsizetype reserved = hasBitmap ? 0 : Blit::ReservedWord;
    QRectF source;
    QRectF dest;
    qsizetype dibAt = 0;
    if (function == META_STRETCHDIB) {
        source = p.ExtentAt<Extent>(StretchDib::Source);
        dest = p.ExtentAt<Extent>(StretchDib::Dest);
        dibAt = StretchDib::Dib;
    } else if (function == META_DIBSTRETCHBLT) {
        source = p.ExtentAt<Extent>(DibStretchBlt::Source);
        dest = p.ExtentAt<Extent>(DibStretchBlt::Dest + reserved);
        dibAt = DibStretchBlt::Dib;
    } else {  // META_DIBBITBLT
        dest = p.ExtentAt<Extent>(DibBitBlt::Dest + reserved);
        source = QRectF(p.PointAt<Point>(DibBitBlt::Source), dest.size());
        dibAt = DibBitBlt::Dib;
    }
    if (p.Bad())
        return;
    if (!hasBitmap) {
        canvas_.PatternFill(dest, rop);
        return;
    }
    const QByteArrayView dib = p.Rest(dibAt);
    const QImage image = DecodePackedDib(dib, dibPixels_);
    if (image.isNull())
        return;  // a bitmap we cannot read is left out, the rest still draws
    // StretchDIBits counts source rows from the bottom.
    if (function == META_STRETCHDIB && DibIsBottomUp(dib))
        source.moveTop(image.height() - source.top() - source.height());
    canvas_.StretchImage(dest, image, source, rop);
}

bool WmfPlayer::Play(quint16 function, RecordParams& p)
{
    switch (function) {
    case META_SETMAPMODE: canvas_.SetMapMode(p.I16(FirstParam)); break;
    case META_SETPOLYFILLMODE: canvas_.SetPolyFillMode(p.I16(FirstParam)); break;
    case META_SETWINDOWORG: canvas_.SetWindowOrg(p.PointAt<Point>(FirstParam)); break;
    case META_SETWINDOWEXT: canvas_.SetWindowExt(p.SizeAt<Point>(FirstParam)); break;
    case META_SETVIEWPORTORG: canvas_.SetViewportOrg(p.PointAt<Point>(FirstParam)); break;
    case META_SETVIEWPORTEXT: canvas_.SetViewportExt(p.SizeAt<Point>(FirstParam)); break;
    case META_OFFSETWINDOWORG: canvas_.OffsetWindowOrg(p.PointAt<Point>(FirstParam)); break;
    case META_OFFSETVIEWPORTORG: canvas_.OffsetViewportOrg(p.PointAt<Point>(FirstParam)); break;
    case META_SCALEWINDOWEXT:
    case META_SCALEVIEWPORTEXT: {
        const double yDenom = p.I16(ScaleExt::YDenom), yNum = p.I16(ScaleExt::YNum);
        const double xDenom = p.I16(ScaleExt::XDenom), xNum = p.I16(ScaleExt::XNum);
        if (function == META_SCALEWINDOWEXT)
            canvas_.ScaleWindowExt(xNum, xDenom, yNum, yDenom);
        else
            canvas_.ScaleViewportExt(xNum, xDenom, yNum, yDenom);
        break;
    }
    case META_SAVEDC: canvas_.SaveDC(); break;
    case META_RESTOREDC: canvas_.RestoreDC(p.I16(FirstParam)); break;
    case META_MOVETO: canvas_.MoveTo(p.PointAt<Point>(FirstParam)); break;
    case META_LINETO: {
        const QPointF to = p.PointAt<Point>(FirstParam);
        if (!p.Bad())
            canvas_.LineTo(to);
        break;
    }
    case META_RECTANGLE:
    case META_ELLIPSE: {
        const QRectF box = p.BoxAt<Box>(FirstParam);
        if (p.Bad())
            break;
        if (function == META_RECTANGLE)
            canvas_.Rectangle(box);
        else
            canvas_.Ellipse(box);
        break;
    }
    case META_ROUNDRECT: {
        const double h = p.I16(RoundRect::CornerHeight), w = p.I16(RoundRect::CornerWidth);
        const QRectF box = p.BoxAt<Box>(RoundRect::Box);
        if (!p.Bad())
            canvas_.RoundRect(box, QSizeF(w, h));
        break;
    }
    case META_POLYGON:
    case META_POLYLINE: {
        const QPolygonF points = p.Points<qint16>(Poly::Points, p.I16(Poly::Count));
        if (p.Bad())
            break;
        if (function == META_POLYGON)
            canvas_.Polygon(points);
        else
            canvas_.Polyline(points);
        break;
    }
    case META_POLYPOLYGON: {
        const int count = p.U16(PolyPolygon::Polygons);
        QList<QPolygonF> polygons;
        qsizetype at = PolyPolygon::Counts + qsizetype(count) * 2;
        for (int i = 0; i < count && !p.Bad(); ++i) {
            const int n = p.I16(PolyPolygon::Counts + i * 2);
            polygons.append(p.Points<qint16>(at, n));
            at += RecordParams::PointsSize<qint16>(n);
        }
        if (!p.Bad())
            canvas_.PolyPolygon(polygons);
        break;
    }
    case META_CREATEPENINDIRECT: {
        GdiObject pen{GdiObject::Pen,
                      Gdi::MakePen(p.U16(CreatePen::Style), p.I16(CreatePen::Width), p.U32(CreatePen::Colour)),
                      {}};
        Create(pen);
        break;
    }
    case META_CREATEBRUSHINDIRECT: {
        GdiObject brush{
            GdiObject::Brush,
            {},
            Gdi::MakeBrush(p.U16(CreateBrush::Style), p.U32(CreateBrush::Colour), p.U16(CreateBrush::Hatch))};
        Create(brush);
        break;
    }
    case META_DIBCREATEPATTERNBRUSH: {
        const QImage pattern = DecodePackedDib(p.Rest(DibPatternBrush::Dib), dibPixels_);
        GdiObject brush{GdiObject::Brush, {}, pattern.isNull() ? QBrush(Qt::NoBrush) : QBrush(pattern)};
        Create(brush);
        break;
    }
    case META_CREATEPALETTE:
    case META_CREATEPATTERNBRUSH:
    case META_CREATEFONTINDIRECT:
    case META_CREATEREGION: Create(GdiObject{}); break;
    case META_SELECTOBJECT:
        if (auto* slot = Slot(p.U16(FirstParam)); slot && *slot)
            canvas_.Select(**slot);
        break;
    case META_DELETEOBJECT:
        if (auto* slot = Slot(p.U16(FirstParam)))
            slot->reset();
        break;
    case META_STRETCHDIB:
    case META_DIBSTRETCHBLT:
    case META_DIBBITBLT:
    case META_PATBLT: Blit(p, function); break;
    default: break;  // text, regions, palettes, clipping: not drawn
    }
    return !p.Bad();
}

}  // namespace

void PlayWmfRecords(MetafileCanvas& canvas, const QByteArray& data, qsizetype firstRecord)
{
    WmfPlayer player(canvas);
    qsizetype pos = firstRecord;
    while (pos + Record::Params <= data.size()) {
        const qint64 bytes = qint64(qFromLittleEndian<quint32>(data.constData() + pos + Record::SizeWords)) * 2;
        const quint16 function = qFromLittleEndian<quint16>(data.constData() + pos + Record::Function);
        if (function == META_EOF || bytes < Record::Params || bytes > data.size() - pos)
            return;
        RecordParams params(QByteArrayView(data).sliced(pos + Record::Params, bytes - Record::Params));
        if (!player.Play(function, params))
            return;
        pos += bytes;
    }
}
