// Enhanced metafile records: 32-bit type and size, then parameters at fixed offsets
// from the record's start.

#include "photo/MetafileCanvas.h"
#include "photo/MetafileDib.h"
#include "photo/MetafileLayout.h"
#include "photo/MetafilePlayers.h"
#include "photo/MetafileRecords.h"

#include <map>

namespace {

using namespace Emf;

class EmfPlayer {
public:
    explicit EmfPlayer(MetafileCanvas& canvas) : canvas_(canvas) {}
    bool Play(quint32 type, RecordParams& p);

private:
    QTransform TransformAt(RecordParams& p, qsizetype at)
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
    const quint32 count = p.U32(Poly::Count);
    const QPolygonF points =
        shortPoints ? p.Points<qint16>(Poly::Points, count) : p.Points<qint32>(Poly::Points, count);
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
    const quint32 polys = p.U32(PolyPoly::Shapes);
    const quint32 total = p.U32(PolyPoly::TotalPoints);
    if (p.Bad() || !p.Has(PolyPoly::Counts, qsizetype(polys) * 4)) {
        p.MarkBad();
        return;
    }
    qsizetype at = PolyPoly::Counts + qsizetype(polys) * 4;
    QList<QPolygonF> shapes;
    quint64 used = 0;
    for (quint32 i = 0; i < polys && !p.Bad(); ++i) {
        const quint32 n = p.U32(PolyPoly::Counts + qsizetype(i) * 4);
        used += n;
        if (used > total) {
            p.MarkBad();
            return;
        }
        shapes.append(shortPoints ? p.Points<qint16>(at, n) : p.Points<qint32>(at, n));
        at += shortPoints ? RecordParams::PointsSize<qint16>(n) : RecordParams::PointsSize<qint32>(n);
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
        dest = QRectF(p.I32(StretchDiBits::DestX), p.I32(StretchDiBits::DestY), p.I32(StretchDiBits::DestWidth),
                      p.I32(StretchDiBits::DestHeight));
        source = p.ExtentAt<Extent>(StretchDiBits::Source);
        rop = p.U32(StretchDiBits::RasterOperation);
        image = Dib(p, StretchDiBits::Info, StretchDiBits::Bits, &info);
        sourceFromBottom = true;  // as StretchDIBits counts rows
    } else {                      // EMR_BITBLT, EMR_STRETCHBLT
        dest = p.ExtentAt<Extent>(BitBlt::Dest);
        rop = p.U32(BitBlt::RasterOperation);
        const quint32 infoSize = p.U32(BitBlt::InfoSize);
        if (p.Bad())
            return;
        if (infoSize == 0) {  // no source: a pattern or colour fill
            canvas_.PatternFill(dest, rop);
            return;
        }
        source = QRectF(p.I32(BitBlt::SourceX), p.I32(BitBlt::SourceY), dest.width(), dest.height());
        if (type == EMR_STRETCHBLT)
            source.setSize(QSizeF(p.I32(BitBlt::SourceWidth), p.I32(BitBlt::SourceHeight)));
        image = Dib(p, BitBlt::Info, BitBlt::Bits, &info);
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
    case EMR_SETWINDOWEXTEX: canvas_.SetWindowExt(p.SizeAt<Point>(FirstField)); break;
    case EMR_SETVIEWPORTEXTEX: canvas_.SetViewportExt(p.SizeAt<Point>(FirstField)); break;
    case EMR_SETWINDOWORGEX: canvas_.SetWindowOrg(p.PointAt<Point>(FirstField)); break;
    case EMR_SETVIEWPORTORGEX: canvas_.SetViewportOrg(p.PointAt<Point>(FirstField)); break;
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX: {
        const double xNum = p.I32(ScaleExtEx::XNum), xDenom = p.I32(ScaleExtEx::XDenom);
        const double yNum = p.I32(ScaleExtEx::YNum), yDenom = p.I32(ScaleExtEx::YDenom);
        if (type == EMR_SCALEWINDOWEXTEX)
            canvas_.ScaleWindowExt(xNum, xDenom, yNum, yDenom);
        else
            canvas_.ScaleViewportExt(xNum, xDenom, yNum, yDenom);
        break;
    }
    case EMR_SETMAPMODE: canvas_.SetMapMode(int(p.U32(FirstField))); break;
    case EMR_SETPOLYFILLMODE: canvas_.SetPolyFillMode(int(p.U32(FirstField))); break;
    case EMR_MOVETOEX: canvas_.MoveTo(p.PointAt<Point>(FirstField)); break;
    case EMR_LINETO: {
        const QPointF to = p.PointAt<Point>(FirstField);
        if (!p.Bad())
            canvas_.LineTo(to);
        break;
    }
    case EMR_SAVEDC: canvas_.SaveDC(); break;
    case EMR_RESTOREDC: canvas_.RestoreDC(p.I32(FirstField)); break;
    case EMR_SETWORLDTRANSFORM: {
        const QTransform t = TransformAt(p, FirstField);
        if (!p.Bad())
            canvas_.SetWorldTransform(t);
        break;
    }
    case EMR_MODIFYWORLDTRANSFORM: {
        const QTransform t = TransformAt(p, ModifyWorldTransform::Transform);
        const quint32 mode = p.U32(ModifyWorldTransform::Mode);
        if (!p.Bad())
            canvas_.ModifyWorldTransform(t, int(mode));
        break;
    }
    case EMR_SELECTOBJECT: {
        const quint32 index = p.U32(FirstField);
        if (index & StockObjectFlag)
            canvas_.SelectStockObject(index & ~StockObjectFlag);
        else if (auto it = objects_.find(index); it != objects_.end())
            canvas_.Select(it->second);
        break;
    }
    case EMR_CREATEPEN: {
        const quint32 index = p.U32(CreatePen::Index);
        objects_[index] =
            GdiObject{GdiObject::Pen,
                      Gdi::MakePen(p.U32(CreatePen::Style), p.I32(CreatePen::Width), p.U32(CreatePen::Colour)),
                      {}};
        break;
    }
    case EMR_EXTCREATEPEN: {
        const quint32 index = p.U32(ExtCreatePen::Index);
        const quint32 style = p.U32(ExtCreatePen::Style);
        // A cosmetic pen is one pixel wide whatever its width says.
        const bool geometric = (style & Gdi::PS_TYPE_MASK) != 0;
        const double width = geometric ? double(p.U32(ExtCreatePen::Width)) : 0.0;
        objects_[index] = GdiObject{GdiObject::Pen, Gdi::MakePen(style, width, p.U32(ExtCreatePen::Colour)), {}};
        break;
    }
    case EMR_CREATEBRUSHINDIRECT: {
        const quint32 index = p.U32(CreateBrush::Index);
        objects_[index] =
            GdiObject{GdiObject::Brush,
                      {},
                      Gdi::MakeBrush(p.U32(CreateBrush::Style), p.U32(CreateBrush::Colour), p.U32(CreateBrush::Hatch))};
        break;
    }
    case EMR_CREATEDIBPATTERNBRUSHPT: {
        const quint32 index = p.U32(DibPatternBrush::Index);
        const QImage pattern = Dib(p, DibPatternBrush::Info, DibPatternBrush::Bits);
        objects_[index] = GdiObject{GdiObject::Brush, {}, pattern.isNull() ? QBrush(Qt::NoBrush) : QBrush(pattern)};
        break;
    }
    case EMR_DELETEOBJECT: objects_.erase(p.U32(FirstField)); break;
    case EMR_RECTANGLE: {
        const QRectF box = p.BoxAt<Box>(FirstField);
        if (!p.Bad())
            canvas_.Rectangle(box);
        break;
    }
    case EMR_ELLIPSE: {
        const QRectF box = p.BoxAt<Box>(FirstField);
        if (!p.Bad())
            canvas_.Ellipse(box);
        break;
    }
    case EMR_ROUNDRECT: {
        const QRectF box = p.BoxAt<Box>(RoundRect::Box);
        const QSizeF corner = p.SizeAt<Point>(RoundRect::Corner);
        if (!p.Bad())
            canvas_.RoundRect(box, corner);
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
    while (pos + Record::Fields <= data.size()) {
        const quint32 type = qFromLittleEndian<quint32>(data.constData() + pos + Record::Type);
        const quint32 size = qFromLittleEndian<quint32>(data.constData() + pos + Record::Size);
        if (type == EMR_EOF || size < Record::Fields || size % 4 || qint64(size) > data.size() - pos)
            return;
        RecordParams params(QByteArrayView(data).sliced(pos, size));
        if (!player.Play(type, params))
            return;
        pos += size;
    }
}
