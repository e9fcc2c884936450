// Enhanced metafile records: 32-bit type and size, then parameters at fixed offsets
// from the record's start.

#include "photo/MetafileCanvas.h"
#include "photo/MetafileDib.h"
#include "photo/MetafilePlayers.h"
#include "photo/MetafileRecords.h"

#include <map>

namespace {

enum : quint32 {
    EMR_POLYBEZIER = 2,
    EMR_POLYGON = 3,
    EMR_POLYLINE = 4,
    EMR_POLYBEZIERTO = 5,
    EMR_POLYLINETO = 6,
    EMR_POLYPOLYLINE = 7,
    EMR_POLYPOLYGON = 8,
    EMR_SETWINDOWEXTEX = 9,
    EMR_SETWINDOWORGEX = 10,
    EMR_SETVIEWPORTEXTEX = 11,
    EMR_SETVIEWPORTORGEX = 12,
    EMR_EOF = 14,
    EMR_SETMAPMODE = 17,
    EMR_SETPOLYFILLMODE = 19,
    EMR_SCALEVIEWPORTEXTEX = 31,
    EMR_SCALEWINDOWEXTEX = 32,
    EMR_MOVETOEX = 27,
    EMR_SAVEDC = 33,
    EMR_RESTOREDC = 34,
    EMR_SETWORLDTRANSFORM = 35,
    EMR_MODIFYWORLDTRANSFORM = 36,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_ROUNDRECT = 44,
    EMR_LINETO = 54,
    EMR_BITBLT = 76,
    EMR_STRETCHBLT = 77,
    EMR_STRETCHDIBITS = 81,
    EMR_POLYBEZIER16 = 85,
    EMR_POLYGON16 = 86,
    EMR_POLYLINE16 = 87,
    EMR_POLYBEZIERTO16 = 88,
    EMR_POLYLINETO16 = 89,
    EMR_POLYPOLYLINE16 = 90,
    EMR_POLYPOLYGON16 = 91,
    EMR_CREATEDIBPATTERNBRUSHPT = 94,
    EMR_EXTCREATEPEN = 95,
};

constexpr quint32 StockObjectFlag = 0x80000000u;

class EmfPlayer {
public:
    explicit EmfPlayer(MetafileCanvas& canvas) : canvas_(canvas) {}
    bool Play(quint32 type, RecordParams& p);

private:
    QPointF Point(RecordParams& p, qsizetype at) { return QPointF(p.I32(at), p.I32(at + 4)); }
    QRectF Box(RecordParams& p, qsizetype at) { return QRectF(Point(p, at), Point(p, at + 8)); }
    QTransform Xform(RecordParams& p, qsizetype at)
    {
        return QTransform(p.F32(at), p.F32(at + 4), p.F32(at + 8), p.F32(at + 12), p.F32(at + 16), p.F32(at + 20));
    }
    QImage Dib(RecordParams& p, qsizetype offInfo, qsizetype offBits, QByteArrayView* info = nullptr);
    void Points(quint32 type, RecordParams& p);
    void PolyPoints(quint32 type, RecordParams& p);
    void Blit(quint32 type, RecordParams& p);

    MetafileCanvas& canvas_;
    std::map<quint32, GdiObject> objects_;
    DibPixelBudget dibPixels_;
};

// Info and bits are given as (offset, size) pairs counted from the record's start.
QImage EmfPlayer::Dib(RecordParams& p, qsizetype offInfo, qsizetype offBits, QByteArrayView* info)
{
    const quint32 infoAt = p.U32(offInfo), infoSize = p.U32(offInfo + 4);
    const quint32 bitsAt = p.U32(offBits), bitsSize = p.U32(offBits + 4);
    if (p.Bad() || infoSize == 0)
        return QImage();
    const QByteArrayView infoBytes = p.Bytes(infoAt, infoSize);
    const QByteArrayView bits = p.Bytes(bitsAt, bitsSize);
    if (p.Bad())
        return QImage();
    if (info)
        *info = infoBytes;
    return DecodeDib(infoBytes, bits, dibPixels_);
}

void EmfPlayer::Points(quint32 type, RecordParams& p)
{
    const bool shortPoints = type >= EMR_POLYBEZIER16;
    const quint32 count = p.U32(24);
    const QPolygonF points = shortPoints ? p.Points16(28, count) : p.Points32(28, count);
    if (p.Bad())
        return;
    switch (shortPoints ? type - (EMR_POLYBEZIER16 - EMR_POLYBEZIER) : type) {
    case EMR_POLYBEZIER: canvas_.PolyBezier(points); break;
    case EMR_POLYGON: canvas_.Polygon(points); break;
    case EMR_POLYLINE: canvas_.Polyline(points); break;
    case EMR_POLYBEZIERTO: canvas_.PolyBezierTo(points); break;
    case EMR_POLYLINETO: canvas_.PolylineTo(points); break;
    default: break;
    }
}

void EmfPlayer::PolyPoints(quint32 type, RecordParams& p)
{
    const bool shortPoints = type >= EMR_POLYPOLYLINE16;
    const quint32 polys = p.U32(24);
    const quint32 total = p.U32(28);
    if (p.Bad() || !p.Has(32, qsizetype(polys) * 4)) {
        p.MarkBad();
        return;
    }
    qsizetype at = 32 + qsizetype(polys) * 4;
    QList<QPolygonF> shapes;
    quint64 used = 0;
    for (quint32 i = 0; i < polys && !p.Bad(); ++i) {
        const quint32 n = p.U32(32 + qsizetype(i) * 4);
        used += n;
        if (used > total) {
            p.MarkBad();
            return;
        }
        shapes.append(shortPoints ? p.Points16(at, n) : p.Points32(at, n));
        at += qsizetype(n) * (shortPoints ? 4 : 8);
    }
    if (p.Bad())
        return;
    if (type == EMR_POLYPOLYGON || type == EMR_POLYPOLYGON16)
        canvas_.PolyPolygon(shapes);
    else
        canvas_.PolyPolyline(shapes);
}

void EmfPlayer::Blit(quint32 type, RecordParams& p)
{
    QRectF dest, source;
    quint32 rop = 0;
    QImage image;
    QByteArrayView info;
    bool sourceFromBottom = false;
    if (type == EMR_STRETCHDIBITS) {
        dest = QRectF(p.I32(24), p.I32(28), p.I32(72), p.I32(76));
        source = QRectF(p.I32(32), p.I32(36), p.I32(40), p.I32(44));
        rop = p.U32(68);
        image = Dib(p, 48, 56, &info);
        sourceFromBottom = true;  // as StretchDIBits counts rows
    } else {                      // EMR_BITBLT, EMR_STRETCHBLT
        dest = QRectF(p.I32(24), p.I32(28), p.I32(32), p.I32(36));
        rop = p.U32(40);
        const quint32 infoSize = p.U32(88);
        if (p.Bad())
            return;
        if (infoSize == 0) {  // no source: a pattern or colour fill
            canvas_.PatternFill(dest, rop);
            return;
        }
        source = QRectF(p.I32(44), p.I32(48), dest.width(), dest.height());
        if (type == EMR_STRETCHBLT)
            source.setSize(QSizeF(p.I32(100), p.I32(104)));
        image = Dib(p, 84, 92, &info);
    }
    if (p.Bad() || image.isNull())
        return;
    if (sourceFromBottom && DibIsBottomUp(info))
        source.moveTop(image.height() - source.top() - source.height());
    canvas_.StretchImage(dest, image, source, rop);
}

bool EmfPlayer::Play(quint32 type, RecordParams& p)
{
    switch (type) {
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16: Points(type, p); break;
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16: PolyPoints(type, p); break;
    case EMR_SETWINDOWEXTEX: {
        const QPointF e = Point(p, 8);
        canvas_.SetWindowExt(QSizeF(e.x(), e.y()));
        break;
    }
    case EMR_SETVIEWPORTEXTEX: {
        const QPointF e = Point(p, 8);
        canvas_.SetViewportExt(QSizeF(e.x(), e.y()));
        break;
    }
    case EMR_SETWINDOWORGEX: canvas_.SetWindowOrg(Point(p, 8)); break;
    case EMR_SETVIEWPORTORGEX: canvas_.SetViewportOrg(Point(p, 8)); break;
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX: {
        const double xNum = p.I32(8), xDenom = p.I32(12), yNum = p.I32(16), yDenom = p.I32(20);
        if (type == EMR_SCALEWINDOWEXTEX)
            canvas_.ScaleWindowExt(xNum, xDenom, yNum, yDenom);
        else
            canvas_.ScaleViewportExt(xNum, xDenom, yNum, yDenom);
        break;
    }
    case EMR_SETMAPMODE: canvas_.SetMapMode(int(p.U32(8))); break;
    case EMR_SETPOLYFILLMODE: canvas_.SetPolyFillMode(int(p.U32(8))); break;
    case EMR_MOVETOEX: canvas_.MoveTo(Point(p, 8)); break;
    case EMR_LINETO: {
        const QPointF to = Point(p, 8);
        if (!p.Bad())
            canvas_.LineTo(to);
        break;
    }
    case EMR_SAVEDC: canvas_.SaveDC(); break;
    case EMR_RESTOREDC: canvas_.RestoreDC(p.I32(8)); break;
    case EMR_SETWORLDTRANSFORM: {
        const QTransform t = Xform(p, 8);
        if (!p.Bad())
            canvas_.SetWorldTransform(t);
        break;
    }
    case EMR_MODIFYWORLDTRANSFORM: {
        const QTransform t = Xform(p, 8);
        const quint32 mode = p.U32(32);
        if (!p.Bad())
            canvas_.ModifyWorldTransform(t, int(mode));
        break;
    }
    case EMR_SELECTOBJECT: {
        const quint32 index = p.U32(8);
        if (index & StockObjectFlag)
            canvas_.SelectStockObject(index & ~StockObjectFlag);
        else if (auto it = objects_.find(index); it != objects_.end())
            canvas_.Select(it->second);
        break;
    }
    case EMR_CREATEPEN: {
        const quint32 index = p.U32(8);
        objects_[index] = GdiObject{GdiObject::Pen, Gdi::MakePen(p.U32(12), p.I32(16), p.U32(24)), {}};
        break;
    }
    case EMR_EXTCREATEPEN: {
        const quint32 index = p.U32(8);
        const quint32 style = p.U32(28);
        // A cosmetic pen is one pixel wide whatever its width says.
        const bool geometric = (style & 0x000F0000u) != 0;
        const double width = geometric ? double(p.U32(32)) : 0.0;
        objects_[index] = GdiObject{GdiObject::Pen, Gdi::MakePen(style, width, p.U32(40)), {}};
        break;
    }
    case EMR_CREATEBRUSHINDIRECT: {
        const quint32 index = p.U32(8);
        objects_[index] = GdiObject{GdiObject::Brush, {}, Gdi::MakeBrush(p.U32(12), p.U32(16), p.U32(20))};
        break;
    }
    case EMR_CREATEDIBPATTERNBRUSHPT: {
        const quint32 index = p.U32(8);
        const QImage pattern = Dib(p, 16, 24);
        objects_[index] = GdiObject{GdiObject::Brush, {}, pattern.isNull() ? QBrush(Qt::NoBrush) : QBrush(pattern)};
        break;
    }
    case EMR_DELETEOBJECT: objects_.erase(p.U32(8)); break;
    case EMR_RECTANGLE: {
        const QRectF box = Box(p, 8);
        if (!p.Bad())
            canvas_.Rectangle(box);
        break;
    }
    case EMR_ELLIPSE: {
        const QRectF box = Box(p, 8);
        if (!p.Bad())
            canvas_.Ellipse(box);
        break;
    }
    case EMR_ROUNDRECT: {
        const QRectF box = Box(p, 8);
        const QPointF corner = Point(p, 24);
        if (!p.Bad())
            canvas_.RoundRect(box, QSizeF(corner.x(), corner.y()));
        break;
    }
    case EMR_BITBLT:
    case EMR_STRETCHBLT:
    case EMR_STRETCHDIBITS: Blit(type, p); break;
    default: break;  // text, paths, clipping, palettes: not drawn
    }
    return !p.Bad();
}

}  // namespace

void PlayEmfRecords(MetafileCanvas& canvas, const QByteArray& data, qsizetype firstRecord)
{
    EmfPlayer player(canvas);
    qsizetype pos = firstRecord;
    while (pos + 8 <= data.size()) {
        const quint32 type = qFromLittleEndian<quint32>(data.constData() + pos);
        const quint32 size = qFromLittleEndian<quint32>(data.constData() + pos + 4);
        if (type == EMR_EOF || size < 8 || size % 4 || qint64(size) > data.size() - pos)
            return;
        RecordParams params(QByteArrayView(data).sliced(pos, size));
        if (!player.Play(type, params))
            return;
        pos += size;
    }
}
