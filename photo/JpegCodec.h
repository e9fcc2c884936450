#pragma once
// JPEG coding with the settings every photo uses. This is the only place that
// talks to libjpeg: the library's errors are caught at its C boundary and come
// back as EJPEG "JPEG error #<message code>", never as a jump through C++ frames.

#include <QByteArray>
#include <QImage>

struct JpegHeader {
    int Width = 0;
    int Height = 0;
    bool Grayscale = false;
    bool Progressive = false;  // the image comes in several scans
};

// Reads the header of JPEG data (an image is required). Raises EJPEG.
JpegHeader ReadJpegHeader(const QByteArray& bytes);

// Compresses a picture: 24-bit RGB input, the library's defaults, then the
// floating-point DCT and quality 90 with baseline quantisation tables; one
// sequential scan, colour. A picture without pixels gives zero bytes. Raises EJPEG.
QByteArray CompressJpeg(const QImage& image);

// Decodes for display: full scale, block smoothing, floating-point DCT, RGB
// output (grey-scale data stays grey). Raises EJPEG. A picture larger than
// MaxDecodePixels, or one there is no memory for, gives a null image.
QImage DecodeJpeg(const QByteArray& bytes);

inline constexpr qint64 MaxDecodePixels = 100'000'000;

// Decodes for a preview of at most size (the picture's own size if smaller),
// with the display settings at the smallest scale the library offers that is
// not below it, then the nearest rows and pixels of that: memory grows with
// the size shown, not with the size the file claims. Raises EJPEG; a null
// image when size is empty.
QImage DecodeJpegToFit(const QByteArray& bytes, QSize size);

// Message codes of the library that callers and tests meet.
namespace JpegMessageCode {
extern const int NotJpeg;           // data does not start with the start-of-image marker
extern const int NoImage;           // the data ends before an image
extern const int EmptyInput;        // zero bytes
extern const int ColourConversion;  // a colour space that cannot become RGB
extern const int TooManyScans;      // more scans than any real file has
}  // namespace JpegMessageCode
