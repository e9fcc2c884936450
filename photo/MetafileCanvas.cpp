#include "MetafileCanvas.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace Gdi {

QColor Colour(quint32 colorref)
{
    return QColor(int(colorref & 0xFF), int((colorref >> 8) & 0xFF), int((colorref >> 16) & 0xFF));
}

QPen MakePen(quint32 style, double width, quint32 colorref)
{
    QPen pen(Colour(colorref));
    // 0 draws one device pixel, as on Windows; a width beyond any picture is cut down.
    pen.setWidthF(std::min(std::abs(width), 32767.0));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    switch (style & PS_STYLE_MASK) {
    case PS_DASH: pen.setStyle(Qt::DashLine); break;
    case PS_DOT: pen.setStyle(Qt::DotLine); break;
    case PS_DASHDOT: pen.setStyle(Qt::DashDotLine); break;
    case PS_DASHDOTDOT: pen.setStyle(Qt::DashDotDotLine); break;
    case PS_NULL: pen.setStyle(Qt::NoPen); break;
    default: pen.setStyle(Qt::SolidLine); break;  // solid, inside frame, user styles
    }
    return pen;
}

QBrush MakeBrush(quint32 style, quint32 colorref, quint32 hatch)
{
    switch (style) {
    case BS_SOLID: return QBrush(Colour(colorref));
    case BS_HATCHED: {
        // HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS, HS_DIAGCROSS
        static const Qt::BrushStyle hatches[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                                 Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        return QBrush(Colour(colorref), hatch < std::size(hatches) ? hatches[hatch] : Qt::SolidPattern);
    }
    default:  // hollow, and patterns we do not have
        return QBrush(Qt::NoBrush);
    }
}

}  // namespace Gdi

MetafileCanvas::MetafileCanvas(QPainter& painter, const QRectF& target, const QRectF& frame, bool windowsMetafile)
    : painter_(painter)
{
    painter_.save();
    painter_.setClipRect(target, Qt::IntersectClip);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);  // stretched bitmaps repeat pixels, as GDI does

    const double fw = frame.width() != 0 ? frame.width() : 1.0;
    const double fh = frame.height() != 0 ? frame.height() : 1.0;
    const double tw = frame.width() != 0 ? target.width() : 1.0;
    const double th = frame.height() != 0 ? target.height() : 1.0;
    frameToDevice_ = QTransform::fromTranslate(-frame.left(), -frame.top()) * QTransform::fromScale(tw / fw, th / fh)
                     * QTransform::fromTranslate(target.left(), target.top()) * painter_.transform();

    state_.pen = QPen(Qt::black, 0);
    state_.brush = QBrush(Qt::white);
    if (windowsMetafile) {
        state_.mapMode = Gdi::MM_ANISOTROPIC;
        state_.windowOrg = state_.viewportOrg = frame.topLeft();
        state_.windowExt = state_.viewportExt = QSizeF(fw, fh);
    }
    ApplyMapping();
}

MetafileCanvas::~MetafileCanvas()
{
    painter_.restore();
}

void MetafileCanvas::ApplyMapping()
{
    QTransform page = QTransform::fromTranslate(-state_.windowOrg.x(), -state_.windowOrg.y());
    const bool scaled = state_.mapMode == Gdi::MM_ANISOTROPIC || state_.mapMode == Gdi::MM_ISOTROPIC;
    if (scaled && state_.windowExt.width() != 0 && state_.windowExt.height() != 0) {
        double sx = state_.viewportExt.width() / state_.windowExt.width();
        double sy = state_.viewportExt.height() / state_.windowExt.height();
        if (state_.mapMode == Gdi::MM_ISOTROPIC) {
            // Equal units both ways: the smaller scale wins, signs kept.
            const double s = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(s, sx);
            sy = std::copysign(s, sy);
        }
        page *= QTransform::fromScale(sx, sy);
    }
    page *= QTransform::fromTranslate(state_.viewportOrg.x(), state_.viewportOrg.y());
    painter_.setTransform(state_.world * page * frameToDevice_);
}

template <class Part>
void MetafileCanvas::Remap(Part State::*part, Part value)
{
    state_.*part = value;
    ApplyMapping();
}

void MetafileCanvas::SetExtent(QSizeF State::*extent, QSizeF s)
{
    if (s.width() != 0 && s.height() != 0)
        Remap(extent, s);
}

void MetafileCanvas::SetMapMode(int mode)
{
    Remap(&State::mapMode, mode);
}

void MetafileCanvas::SetWindowOrg(QPointF p)
{
    Remap(&State::windowOrg, p);
}

void MetafileCanvas::SetWindowExt(QSizeF s)
{
    SetExtent(&State::windowExt, s);
}

void MetafileCanvas::SetViewportOrg(QPointF p)
{
    Remap(&State::viewportOrg, p);
}

void MetafileCanvas::SetViewportExt(QSizeF s)
{
    SetExtent(&State::viewportExt, s);
}

void MetafileCanvas::OffsetWindowOrg(QPointF d)
{
    SetWindowOrg(state_.windowOrg + d);
}

void MetafileCanvas::OffsetViewportOrg(QPointF d)
{
    SetViewportOrg(state_.viewportOrg + d);
}

void MetafileCanvas::ScaleExtent(QSizeF State::*extent, double xNum, double xDenom, double yNum, double yDenom)
{
    if (xDenom == 0 || yDenom == 0)
        return;
    const QSizeF now = state_.*extent;
    SetExtent(extent, QSizeF(now.width() * xNum / xDenom, now.height() * yNum / yDenom));
}

void MetafileCanvas::ScaleWindowExt(double xNum, double xDenom, double yNum, double yDenom)
{
    ScaleExtent(&State::windowExt, xNum, xDenom, yNum, yDenom);
}

void MetafileCanvas::ScaleViewportExt(double xNum, double xDenom, double yNum, double yDenom)
{
    ScaleExtent(&State::viewportExt, xNum, xDenom, yNum, yDenom);
}

void MetafileCanvas::SetWorldTransform(const QTransform& t)
{
    if (t.isInvertible())
        Remap(&State::world, t);
}

void MetafileCanvas::ModifyWorldTransform(const QTransform& t, int mode)
{
    switch (mode) {
    case Gdi::MWT_IDENTITY: state_.world = QTransform(); break;
    case Gdi::MWT_LEFTMULTIPLY: state_.world = t * state_.world; break;
    case Gdi::MWT_RIGHTMULTIPLY: state_.world = state_.world * t; break;
    case Gdi::MWT_SET: state_.world = t; break;
    default: return;
    }
    ApplyMapping();
}

void MetafileCanvas::SetPolyFillMode(int mode)
{
    state_.fillRule = mode == Gdi::WINDING ? Qt::WindingFill : Qt::OddEvenFill;
}

void MetafileCanvas::SaveDC()
{
    if (saved_.size() < 1024)
        saved_.push_back(state_);
}

void MetafileCanvas::RestoreDC(int which)
{
    const qint64 index = which < 0 ? qint64(saved_.size()) + which : qint64(which) - 1;
    if (index < 0 || index >= qint64(saved_.size()))
        return;
    state_ = saved_[size_t(index)];
    saved_.resize(size_t(index));
    ApplyMapping();
}

void MetafileCanvas::Select(const GdiObject& object)
{
    if (object.kind == GdiObject::Pen)
        state_.pen = object.pen;
    else if (object.kind == GdiObject::Brush)
        state_.brush = object.brush;
}

void MetafileCanvas::SelectStockObject(quint32 index)
{
    const auto brush = [](const QBrush& b) { return GdiObject{GdiObject::Brush, QPen(), b}; };
    const auto pen = [](const QPen& p) { return GdiObject{GdiObject::Pen, p, QBrush()}; };
    // The stock objects by number; the pens are cosmetic, one pixel wide.
    static const GdiObject stock[] = {
        brush(QColor(QRgb(0xFFFFFF))),  // WHITE_BRUSH
        brush(QColor(QRgb(0xC0C0C0))),  // LTGRAY_BRUSH
        brush(QColor(QRgb(0x808080))),  // GRAY_BRUSH
        brush(QColor(QRgb(0x404040))),  // DKGRAY_BRUSH
        brush(QColor(QRgb(0x000000))),  // BLACK_BRUSH
        brush(Qt::NoBrush),             // NULL_BRUSH
        pen(QPen(Qt::white, 0)),        // WHITE_PEN
        pen(QPen(Qt::black, 0)),        // BLACK_PEN
        pen(Qt::NoPen),                 // NULL_PEN
    };
    if (index < std::size(stock))
        Select(stock[index]);
}

void MetafileCanvas::Prepare()
{
    painter_.setPen(state_.pen);
    painter_.setBrush(state_.brush);
}

void MetafileCanvas::MoveTo(QPointF p)
{
    state_.current = p;
}

void MetafileCanvas::LineTo(QPointF p)
{
    painter_.setPen(state_.pen);
    painter_.drawLine(state_.current, p);
    state_.current = p;
}

void MetafileCanvas::Polyline(const QPolygonF& points)
{
    painter_.setPen(state_.pen);
    painter_.drawPolyline(points);
}

void MetafileCanvas::PolylineTo(const QPolygonF& points)
{
    if (points.isEmpty())
        return;
    QPolygonF line;
    line << state_.current << points;
    Polyline(line);
    state_.current = points.constLast();
}

void MetafileCanvas::PolyBezier(const QPolygonF& points)
{
    if (points.size() < 4)
        return;
    MoveTo(points.constFirst());
    PolyBezierTo(points.sliced(1));
}

void MetafileCanvas::PolyBezierTo(const QPolygonF& points)
{
    QPainterPath path(state_.current);
    qsizetype i = 0;
    for (; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    if (i == 0)
        return;
    painter_.setPen(state_.pen);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPath(path);
    state_.current = points[i - 1];
}

void MetafileCanvas::Polygon(const QPolygonF& points)
{
    Prepare();
    painter_.drawPolygon(points, state_.fillRule);
}

void MetafileCanvas::PolyPolygon(const QList<QPolygonF>& polygons)
{
    QPainterPath path;
    path.setFillRule(state_.fillRule);
    for (const QPolygonF& p : polygons) {
        if (p.isEmpty())
            continue;
        path.addPolygon(p);
        path.closeSubpath();
    }
    Prepare();
    painter_.drawPath(path);
}

void MetafileCanvas::PolyPolyline(const QList<QPolygonF>& polylines)
{
    for (const QPolygonF& p : polylines)
        Polyline(p);
}

void MetafileCanvas::Rectangle(const QRectF& box)
{
    Prepare();
    painter_.drawRect(box.normalized());
}

void MetafileCanvas::Ellipse(const QRectF& box)
{
    Prepare();
    painter_.drawEllipse(box.normalized());
}

void MetafileCanvas::RoundRect(const QRectF& box, QSizeF corner)
{
    Prepare();
    painter_.drawRoundedRect(box.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
}

void MetafileCanvas::StretchImage(const QRectF& dest, const QImage& image, const QRectF& source, quint32 rop)
{
    if (image.isNull() || dest.width() == 0 || dest.height() == 0)
        return;
    // A negative extent mirrors the picture.
    QImage picture = image;
    QRectF src = source;
    if ((dest.width() < 0) != (source.width() < 0) || (dest.height() < 0) != (source.height() < 0)) {
        const bool h = (dest.width() < 0) != (source.width() < 0);
        const bool v = (dest.height() < 0) != (source.height() < 0);
        QRectF s = source.normalized();
        picture = image.mirrored(h, v);
        src = QRectF(h ? image.width() - s.right() : s.left(), v ? image.height() - s.bottom() : s.top(), s.width(),
                     s.height());
    }
    if (rop == Gdi::NOTSRCCOPY)
        picture.invertPixels();

    painter_.save();
    switch (rop) {
    case Gdi::SRCPAINT: painter_.setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
    case Gdi::SRCAND: painter_.setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
    case Gdi::SRCINVERT: painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    default: break;
    }
    painter_.drawImage(dest.normalized(), picture, src.normalized());
    painter_.restore();
}

void MetafileCanvas::PatternFill(const QRectF& dest, quint32 rop)
{
    QBrush brush;
    if (rop == Gdi::PATCOPY)
        brush = state_.brush;
    else if (rop == Gdi::BLACKNESS)
        brush = QBrush(Qt::black);
    else if (rop == Gdi::WHITENESS)
        brush = QBrush(Qt::white);
    else
        return;
    painter_.fillRect(dest.normalized(), brush);
}
