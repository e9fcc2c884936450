#pragma once
// The drawing state a metafile's records work on (a device context in the
// metafile's terms): mapping, selected pen and brush, current point, saved states.
// Both the WMF and the EMF player draw through it.

#include <QBrush>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QTransform>
#include <vector>

// A created drawing object; kinds we do not draw with (fonts, palettes, regions)
// still take their slot so that later indexes stay right.
struct GdiObject {
    enum Kind { Pen, Brush, Other } kind = Other;
    QPen pen;
    QBrush brush;
};

namespace Gdi {
constexpr int MM_TEXT = 1;
constexpr int MM_ISOTROPIC = 7;
constexpr int MM_ANISOTROPIC = 8;
constexpr quint32 SRCCOPY = 0x00CC0020;
constexpr quint32 SRCPAINT = 0x00EE0086;
constexpr quint32 SRCAND = 0x008800C6;
constexpr quint32 SRCINVERT = 0x00660046;
constexpr quint32 NOTSRCCOPY = 0x00330008;
constexpr quint32 PATCOPY = 0x00F00021;
constexpr quint32 BLACKNESS = 0x00000042;
constexpr quint32 WHITENESS = 0x00FF0062;

// A pen's style: the dashes in its low bits, cosmetic or geometric above.
constexpr quint32 PS_STYLE_MASK = 0x0000000F;
enum PenStyle : quint32 { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5 };
constexpr quint32 PS_TYPE_MASK = 0x000F0000;  // 0: cosmetic, one pixel wide

enum BrushStyle : quint32 { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2 };

// SetPolyFillMode: ALTERNATE fills by the even-odd rule, WINDING by the nonzero one.
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

enum WorldTransformMode { MWT_IDENTITY = 1, MWT_LEFTMULTIPLY = 2, MWT_RIGHTMULTIPLY = 3, MWT_SET = 4 };

QColor Colour(quint32 colorref);  // 0x00BBGGRR
QPen MakePen(quint32 style, double width, quint32 colorref);
QBrush MakeBrush(quint32 style, quint32 colorref, quint32 hatch);
}  // namespace Gdi

class MetafileCanvas {
public:
    // frame: the picture in the records' coordinates, drawn onto target.
    // A Windows metafile starts with the host's mapping (window and viewport on
    // the frame, anisotropic); an enhanced metafile with its reference device's.
    MetafileCanvas(QPainter& painter, const QRectF& target, const QRectF& frame, bool windowsMetafile);
    ~MetafileCanvas();
    MetafileCanvas(const MetafileCanvas&) = delete;
    MetafileCanvas& operator=(const MetafileCanvas&) = delete;

    void SetMapMode(int mode);
    void SetWindowOrg(QPointF p);
    void SetWindowExt(QSizeF s);
    void SetViewportOrg(QPointF p);
    void SetViewportExt(QSizeF s);
    void OffsetWindowOrg(QPointF d);
    void OffsetViewportOrg(QPointF d);
    void ScaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
    void ScaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);
    void SetWorldTransform(const QTransform& t);
    void ModifyWorldTransform(const QTransform& t, int mode);
    void SetPolyFillMode(int mode);
    void SaveDC();
    void RestoreDC(int which);

    void Select(const GdiObject& object);
    // An object the metafile selects without creating it, by its number; one
    // we do not draw with (a font, the palette) changes nothing.
    void SelectStockObject(quint32 index);
    QBrush CurrentBrush() const { return state_.brush; }

    void MoveTo(QPointF p);
    void LineTo(QPointF p);
    void Polyline(const QPolygonF& points);
    void PolylineTo(const QPolygonF& points);
    void PolyBezier(const QPolygonF& points);
    void PolyBezierTo(const QPolygonF& points);
    void Polygon(const QPolygonF& points);
    void PolyPolygon(const QList<QPolygonF>& polygons);
    void PolyPolyline(const QList<QPolygonF>& polylines);
    void Rectangle(const QRectF& box);
    void Ellipse(const QRectF& box);
    void RoundRect(const QRectF& box, QSizeF corner);
    // Draws source (in image pixels, top-down) of image stretched onto dest (logical).
    void StretchImage(const QRectF& dest, const QImage& image, const QRectF& source, quint32 rop);
    // A block transfer that uses no source: pattern, black or white.
    void PatternFill(const QRectF& dest, quint32 rop);

private:
    struct State {
        int mapMode = Gdi::MM_TEXT;
        QPointF windowOrg, viewportOrg;
        QSizeF windowExt{1, 1}, viewportExt{1, 1};
        QTransform world;
        QPen pen;
        QBrush brush;
        Qt::FillRule fillRule = Qt::OddEvenFill;
        QPointF current;
    };

    void ApplyMapping();
    // One part of the mapping changes, and the drawing follows it.
    template <class Part>
    void Remap(Part State::*part, Part value);
    // An extent with no width or height is refused, as the system refuses it.
    void SetExtent(QSizeF State::*extent, QSizeF s);
    // An extent scaled by two fractions; one with a zero denominator changes nothing.
    void ScaleExtent(QSizeF State::*extent, double xNum, double xDenom, double yNum, double yDenom);
    void Prepare();

    QPainter& painter_;
    QTransform frameToDevice_;
    State state_;
    std::vector<State> saved_;
};
