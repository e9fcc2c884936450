#pragma once
// Where the fields of the metafile records this program reads lie, named after
// the records. A WMF record's parameters are counted in bytes from its first
// parameter word; an EMF record's fields in bytes from the record's start.

#include <QtGlobal>

// Where the coordinates of a point, a box and a rectangle lie when each takes
// sizeof(C) bytes, one after another: in the order the drawing calls name them
// (x, y; left, top, right, bottom; x, y, width, height), or in reverse.
enum class CoordinateOrder { AsCalled, Reversed };
template <typename C, CoordinateOrder order>
struct CoordinateLayouts {
    // The byte offset of the i-th of n coordinates, counted in the calls' order.
    static constexpr qsizetype At(int i, int n)
    {
        return qsizetype(order == CoordinateOrder::Reversed ? n - 1 - i : i) * qsizetype(sizeof(C));
    }
    struct Point {
        using Coordinate = C;
        static constexpr qsizetype X = At(0, 2), Y = At(1, 2);
    };
    struct Box {
        using Coordinate = C;
        static constexpr qsizetype Left = At(0, 4), Top = At(1, 4), Right = At(2, 4), Bottom = At(3, 4);
    };
    struct Extent {
        using Coordinate = C;
        static constexpr qsizetype X = At(0, 4), Y = At(1, 4), Width = At(2, 4), Height = At(3, 4);
    };
};

namespace Wmf {

enum Function : quint16 {
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

// The placeable header some files put in front: a key, the bounds, the units
// per inch, and a checksum (the XOR of the ten words before it).
constexpr quint32 PlaceableKey = 0x9AC6CDD7u;
constexpr int PlaceableHeaderSize = 22;
namespace Placeable {
constexpr qsizetype Key = 0, Left = 6, Top = 8, Right = 10, Bottom = 12, UnitsPerInch = 14, Checksum = 20;
constexpr int ChecksumWords = 10;
}  // namespace Placeable

// The standard header every file has: nine 16-bit words.
constexpr int StandardHeaderSize = 18;
namespace StandardHeader {
constexpr qsizetype Type = 0, HeaderWords = 2;
constexpr quint16 InMemory = 1, OnDisk = 2;
}  // namespace StandardHeader

// Every record: its size in 16-bit words, its function, then its parameters.
namespace Record {
constexpr qsizetype SizeWords = 0, Function = 4, Params = 6;
}

// The records of one value, one point or one box hold it first.
constexpr qsizetype FirstParam = 0;
// Parameters are stored in reverse of the order the drawing calls take them,
// each coordinate in 16 bits. A point: y, then x; a box (META_RECTANGLE,
// META_ELLIPSE): bottom, right, top, left; a rectangle of the blits: height,
// width, y, x.
using Layouts = CoordinateLayouts<qint16, CoordinateOrder::Reversed>;
using Point = Layouts::Point;
using Box = Layouts::Box;
using Extent = Layouts::Extent;
namespace ScaleExt {  // META_SCALEWINDOWEXT, META_SCALEVIEWPORTEXT
constexpr qsizetype YDenom = 0, YNum = 2, XDenom = 4, XNum = 6;
}
namespace RoundRect {
constexpr qsizetype CornerHeight = 0, CornerWidth = 2, Box = 4;
}
namespace Poly {  // META_POLYGON, META_POLYLINE: the count, then x, y pairs
constexpr qsizetype Count = 0, Points = 2;
}
namespace PolyPolygon {  // the number of polygons, each one's count, then all their points
constexpr qsizetype Polygons = 0, Counts = 2;
}
namespace CreatePen {  // a LOGPEN16: the width is a point's x, its y unused
constexpr qsizetype Style = 0, Width = 2, Colour = 6;
}
namespace CreateBrush {  // a LOGBRUSH16
constexpr qsizetype Style = 0, Colour = 2, Hatch = 6;
}
namespace DibPatternBrush {  // style and colour usage, then a packed DIB
constexpr qsizetype Dib = 4;
}
// The blits: the 32-bit raster operation, then the source and the destination
// (a reserved word before the destination where no bitmap follows), then the
// packed DIB.
namespace Blit {
constexpr qsizetype RasterOperation = 0, ReservedWord = 2;
}
namespace StretchDib {  // source and destination extents, each an Extent
constexpr qsizetype ColourUsage = 4, Source = 6, Dest = 14, Dib = 22;
}
namespace DibStretchBlt {  // source and destination extents, each an Extent
constexpr qsizetype Source = 4, Dest = 12, Dib = 20;
}
namespace DibBitBlt {  // the source a Point, as large as the destination Extent
constexpr qsizetype Source = 4, Dest = 8, Dib = 16;
}
namespace PatBlt {  // the destination Extent, no source
constexpr qsizetype Dest = 4;
}

}  // namespace Wmf

namespace Emf {

enum RecordType : quint32 {
    EMR_HEADER = 1,
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

// Every record: its type, its size in bytes, then its fields.
namespace Record {
constexpr qsizetype Type = 0, Size = 4, Fields = 8;
}

// Coordinates are 32-bit, in the calls' order: a point is x, y; a box left,
// top, right, bottom; a rectangle of the blits x, y, width, height. A transform
// is six floats.
using Layouts = CoordinateLayouts<qint32, CoordinateOrder::AsCalled>;
using Point = Layouts::Point;
using Box = Layouts::Box;
using Extent = Layouts::Extent;

// EMR_HEADER: the bounds in device pixels and the frame in 0.01 mm (each a
// Box), the signature, and the reference device's size in pixels and in mm
// (each a Point).
constexpr quint32 Signature = 0x464D4520u;  // " EMF"
constexpr int MinHeaderSize = 88;
namespace Header {
constexpr qsizetype Bounds = 8, Frame = 24, Signature = 40, DevicePixels = 72, DeviceMillimetres = 80;
}

// The records of one value or one point, box or transform hold it first.
constexpr qsizetype FirstField = Record::Fields;
namespace ScaleExtEx {  // EMR_SCALEVIEWPORTEXTEX, EMR_SCALEWINDOWEXTEX
constexpr qsizetype XNum = 8, XDenom = 12, YNum = 16, YDenom = 20;
}
namespace RoundRect {  // a Box, then the corner's width and height
constexpr qsizetype Box = 8, Corner = 24;
}
namespace ModifyWorldTransform {
constexpr qsizetype Transform = 8, Mode = 32;
}
namespace Poly {  // the bounds, the count, then the points (32-bit, or 16-bit in the ...16 records)
constexpr qsizetype Count = 24, Points = 28;
}
namespace PolyPoly {  // the bounds, the number of shapes, their points in all, each one's count, the points
constexpr qsizetype Shapes = 24, TotalPoints = 28, Counts = 32;
}

// The object records name their slot of the handle table first. EMR_SELECTOBJECT
// names a stock object (MetafileCanvas::SelectStockObject) by its number with
// this flag set.
constexpr quint32 StockObjectFlag = 0x80000000u;
namespace CreatePen {  // a LOGPEN: the width is a point's x
constexpr qsizetype Index = 8, Style = 12, Width = 16, Colour = 24;
}
namespace ExtCreatePen {  // a bitmap's place and size, then a LOGPEN's first fields
constexpr qsizetype Index = 8, Style = 28, Width = 32, Colour = 40;
}
namespace CreateBrush {  // a LOGBRUSH
constexpr qsizetype Index = 8, Style = 12, Colour = 16, Hatch = 20;
}

// The bitmap records give their bitmap's info and bits as (offset, size)
// pairs counted from the record's start.
namespace DibPatternBrush {  // colour usage, then the bitmap
constexpr qsizetype Index = 8, Info = 16, Bits = 24;
}
namespace StretchDiBits {  // the source an Extent
constexpr qsizetype DestX = 24, DestY = 28, Source = 32, Info = 48, Bits = 56, RasterOperation = 68, DestWidth = 72,
                    DestHeight = 76;
}
namespace BitBlt {  // the destination an Extent; EMR_STRETCHBLT adds the source's size
constexpr qsizetype Dest = 24, RasterOperation = 40, SourceX = 44, SourceY = 48, Info = 84, InfoSize = 88, Bits = 92,
                    SourceWidth = 100, SourceHeight = 104;
}

}  // namespace Emf
