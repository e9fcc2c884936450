// Windows metafile records. Parameters are 16-bit words, stored in reverse of
// the order the drawing calls take them (y before x, bottom-right before top-left).

#include "photo/MetafileCanvas.h"
#include "photo/MetafileDib.h"
#include "photo/MetafilePlayers.h"
#include "photo/MetafileRecords.h"

#include <optional>

namespace {

enum : quint16 {
    META_EOF = 0x0000,
    META_SAVEDC = 0x001E,
    META_CREATEPALETTE = 0x00F7,
    META_SETBKMODE = 0x0102,
    META_SETMAPMODE = 0x0103,
    META_SETPOLYFILLMODE = 0x0106,
    META_RESTOREDC = 0x0127,
    META_SELECTOBJECT = 0x012D,
    META_DIBCREATEPATTERNBRUSH = 0x0142,
    META_DELETEOBJECT = 0x01F0,
    META_CREATEPATTERNBRUSH = 0x01F9,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_SETVIEWPORTORG = 0x020D,
    META_SETVIEWPORTEXT = 0x020E,
    META_OFFSETWINDOWORG = 0x020F,
    META_OFFSETVIEWPORTORG = 0x0211,
    META_LINETO = 0x0213,
    META_MOVETO = 0x0214,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325,
    META_SCALEWINDOWEXT = 0x0410,
    META_SCALEVIEWPORTEXT = 0x0412,
    META_ELLIPSE = 0x0418,
    META_RECTANGLE = 0x041B,
    META_PATBLT = 0x061D,
    META_POLYPOLYGON = 0x0538,
    META_ROUNDRECT = 0x061C,
    META_CREATEREGION = 0x06FF,
    META_DIBBITBLT = 0x0940,
    META_DIBSTRETCHBLT = 0x0B41,
    META_STRETCHDIB = 0x0F43,
};

class WmfPlayer {
public:
    explicit WmfPlayer(MetafileCanvas& canvas) : canvas_(canvas) {}

    // false: the record is damaged and drawing stops.
    bool Play(quint16 function, RecordParams& p);

private:
    QPointF Point(RecordParams& p, int word) { return QPointF(p.I16(word * 2 + 2), p.I16(word * 2)); }
    QRectF Box(RecordParams& p, int word)  // bottom, right, top, left
    {
        const double bottom = p.I16(word * 2), right = p.I16(word * 2 + 2);
        const double top = p.I16(word * 2 + 4), left = p.I16(word * 2 + 6);
        return QRectF(QPointF(left, top), QPointF(right, bottom));
    }
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
    const quint32 rop = p.U32(0);
    // Without a bitmap the record is as long as its function's high byte says, plus a reserved word.
    const bool hasBitmap = p.Size() / 2 + 3 > (function >> 8) + 3;
    int w = 2;
    QRectF source;
    QRectF dest;
    bool sourceFromBottom = false;
    if (function == META_STRETCHDIB) {
        ++w;  // colour usage
        const double sh = p.I16(w * 2), sw = p.I16(w * 2 + 2), sy = p.I16(w * 2 + 4), sx = p.I16(w * 2 + 6);
        const double dh = p.I16(w * 2 + 8), dw = p.I16(w * 2 + 10), dy = p.I16(w * 2 + 12), dx = p.I16(w * 2 + 14);
        source = QRectF(sx, sy, sw, sh);
        dest = QRectF(dx, dy, dw, dh);
        w += 8;
        sourceFromBottom = true;  // StretchDIBits counts source rows from the bottom
    } else if (function == META_DIBSTRETCHBLT) {
        const double sh = p.I16(w * 2), sw = p.I16(w * 2 + 2), sy = p.I16(w * 2 + 4), sx = p.I16(w * 2 + 6);
        w += 4;
        if (!hasBitmap)
            ++w;
        const double dh = p.I16(w * 2), dw = p.I16(w * 2 + 2), dy = p.I16(w * 2 + 4), dx = p.I16(w * 2 + 6);
        w += 4;
        source = QRectF(sx, sy, sw, sh);
        dest = QRectF(dx, dy, dw, dh);
    } else if (function == META_DIBBITBLT) {
        const double sy = p.I16(w * 2), sx = p.I16(w * 2 + 2);
        w += 2;
        if (!hasBitmap)
            ++w;
        const double h = p.I16(w * 2), wd = p.I16(w * 2 + 2), dy = p.I16(w * 2 + 4), dx = p.I16(w * 2 + 6);
        w += 4;
        source = QRectF(sx, sy, wd, h);
        dest = QRectF(dx, dy, wd, h);
    } else {  // META_PATBLT: height, width, y, x
        const double h = p.I16(w * 2), wd = p.I16(w * 2 + 2), dy = p.I16(w * 2 + 4), dx = p.I16(w * 2 + 6);
        if (!p.Bad())
            canvas_.PatternFill(QRectF(dx, dy, wd, h), rop);
        return;
    }
    if (p.Bad())
        return;
    if (!hasBitmap || function == META_PATBLT) {
        canvas_.PatternFill(dest, rop);
        return;
    }
    const QByteArrayView dib = p.Rest(w * 2);
    const QImage image = DecodePackedDib(dib, dibPixels_);
    if (image.isNull())
        return;  // a bitmap we cannot read is left out, the rest still draws
    if (sourceFromBottom && DibIsBottomUp(dib))
        source.moveTop(image.height() - source.top() - source.height());
    canvas_.StretchImage(dest, image, source, rop);
}

bool WmfPlayer::Play(quint16 function, RecordParams& p)
{
    switch (function) {
    case META_SETMAPMODE: canvas_.SetMapMode(p.I16(0)); break;
    case META_SETPOLYFILLMODE: canvas_.SetPolyFillMode(p.I16(0)); break;
    case META_SETWINDOWORG: canvas_.SetWindowOrg(Point(p, 0)); break;
    case META_SETWINDOWEXT: {
        const QPointF e = Point(p, 0);
        canvas_.SetWindowExt(QSizeF(e.x(), e.y()));
        break;
    }
    case META_SETVIEWPORTORG: canvas_.SetViewportOrg(Point(p, 0)); break;
    case META_SETVIEWPORTEXT: {
        const QPointF e = Point(p, 0);
        canvas_.SetViewportExt(QSizeF(e.x(), e.y()));
        break;
    }
    case META_OFFSETWINDOWORG: canvas_.OffsetWindowOrg(Point(p, 0)); break;
    case META_OFFSETVIEWPORTORG: canvas_.OffsetViewportOrg(Point(p, 0)); break;
    case META_SCALEWINDOWEXT:
    case META_SCALEVIEWPORTEXT: {
        const double yDenom = p.I16(0), yNum = p.I16(2), xDenom = p.I16(4), xNum = p.I16(6);
        if (function == META_SCALEWINDOWEXT)
            canvas_.ScaleWindowExt(xNum, xDenom, yNum, yDenom);
        else
            canvas_.ScaleViewportExt(xNum, xDenom, yNum, yDenom);
        break;
    }
    case META_SAVEDC: canvas_.SaveDC(); break;
    case META_RESTOREDC: canvas_.RestoreDC(p.I16(0)); break;
    case META_MOVETO: canvas_.MoveTo(Point(p, 0)); break;
    case META_LINETO: {
        const QPointF to = Point(p, 0);
        if (!p.Bad())
            canvas_.LineTo(to);
        break;
    }
    case META_RECTANGLE:
    case META_ELLIPSE: {
        const QRectF box = Box(p, 0);
        if (p.Bad())
            break;
        if (function == META_RECTANGLE)
            canvas_.Rectangle(box);
        else
            canvas_.Ellipse(box);
        break;
    }
    case META_ROUNDRECT: {
        const double h = p.I16(0), w = p.I16(2);
        const QRectF box = Box(p, 2);
        if (!p.Bad())
            canvas_.RoundRect(box, QSizeF(w, h));
        break;
    }
    case META_POLYGON:
    case META_POLYLINE: {
        const QPolygonF points = p.Points16(2, p.I16(0));
        if (p.Bad())
            break;
        if (function == META_POLYGON)
            canvas_.Polygon(points);
        else
            canvas_.Polyline(points);
        break;
    }
    case META_POLYPOLYGON: {
        const int count = p.U16(0);
        QList<QPolygonF> polygons;
        qsizetype at = 2 + qsizetype(count) * 2;
        for (int i = 0; i < count && !p.Bad(); ++i) {
            const int n = p.I16(2 + i * 2);
            polygons.append(p.Points16(at, n));
            at += qsizetype(n) * 4;
        }
        if (!p.Bad())
            canvas_.PolyPolygon(polygons);
        break;
    }
    case META_CREATEPENINDIRECT: {
        GdiObject pen{GdiObject::Pen, Gdi::MakePen(p.U16(0), p.I16(2), p.U32(6)), {}};
        Create(pen);
        break;
    }
    case META_CREATEBRUSHINDIRECT: {
        GdiObject brush{GdiObject::Brush, {}, Gdi::MakeBrush(p.U16(0), p.U32(2), p.U16(6))};
        Create(brush);
        break;
    }
    case META_DIBCREATEPATTERNBRUSH: {
        const QImage pattern = DecodePackedDib(p.Rest(4), dibPixels_);
        GdiObject brush{GdiObject::Brush, {}, pattern.isNull() ? QBrush(Qt::NoBrush) : QBrush(pattern)};
        Create(brush);
        break;
    }
    case META_CREATEPALETTE:
    case META_CREATEPATTERNBRUSH:
    case META_CREATEFONTINDIRECT:
    case META_CREATEREGION: Create(GdiObject{}); break;
    case META_SELECTOBJECT:
        if (auto* slot = Slot(p.U16(0)); slot && *slot)
            canvas_.Select(**slot);
        break;
    case META_DELETEOBJECT:
        if (auto* slot = Slot(p.U16(0)))
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
    while (pos + 6 <= data.size()) {
        const qint64 bytes = qint64(qFromLittleEndian<quint32>(data.constData() + pos)) * 2;
        const quint16 function = qFromLittleEndian<quint16>(data.constData() + pos + 4);
        if (function == META_EOF || bytes < 6 || bytes > data.size() - pos)
            return;
        RecordParams params(QByteArrayView(data).sliced(pos + 6, bytes - 6));
        if (!player.Play(function, params))
            return;
        pos += bytes;
    }
}
