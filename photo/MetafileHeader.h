#pragma once
// Reading the header of a Windows metafile (placeable or standard) or an enhanced metafile.

#include <QByteArray>
#include <QRectF>
#include <QSize>
#include <optional>

struct MetafileHeader {
    bool enhanced = false;   // EMF rather than WMF
    bool placeable = false;  // WMF with the 22-byte placeable header in front
    int recordsOffset = 0;   // byte offset of the first record after the header(s)
    // The picture's frame in the coordinates its records use before any mapping
    // of their own: the placeable bounds, the EMF frame in reference-device pixels,
    // or the first window of a standard WMF. Empty when the file names none.
    QRectF frame;
    QSize pixels;  // size on a 96-dpi screen, no side beyond MaxMetafileSide
};

// The longest side a metafile's size is given; a larger claim is scaled down to it, proportions kept.
inline constexpr int MaxMetafileSide = 32767;

// Validates the header. Raises EReadError "读流发生错误" for a non-empty file shorter
// than the header it starts, EInvalidGraphic "元文件无效" for anything that is not a metafile.
MetafileHeader ReadMetafileHeader(const QByteArray& bytes);

// The same without raising, for drawing.
std::optional<MetafileHeader> TryReadMetafileHeader(const QByteArray& bytes);
