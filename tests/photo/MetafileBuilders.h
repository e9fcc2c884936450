#pragma once
// Small writers of metafiles and DIBs, byte by byte, for the photo tests.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QtEndian>
#include <algorithm>
#include <initializer_list>

namespace build {

inline void U16(QByteArray& b, quint16 v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}
inline void U32(QByteArray& b, quint32 v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}

// A bottom-up 24-bit DIB: BITMAPINFOHEADER followed by the rows.
struct Dib {
    QByteArray info;
    QByteArray bits;
    QByteArray packed() const { return info + bits; }
};

inline Dib Dib24(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    Dib dib;
    const int stride = (image.width() * 3 + 3) & ~3;
    U32(dib.info, 40);
    U32(dib.info, quint32(image.width()));
    U32(dib.info, quint32(image.height()));
    U16(dib.info, 1);
    U16(dib.info, 24);
    U32(dib.info, 0);
    U32(dib.info, quint32(stride * image.height()));
    U32(dib.info, 2835);
    U32(dib.info, 2835);
    U32(dib.info, 0);
    U32(dib.info, 0);
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            row.append(char(qBlue(p)));
            row.append(char(qGreen(p)));
            row.append(char(qRed(p)));
        }
        row.append(QByteArray(stride - row.size(), '\0'));
        dib.bits += row;
    }
    return dib;
}

// Red, green / blue, yellow: a 2 x 2 picture whose quadrants are easy to find.
inline QImage FourColours()
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(0, 1, qRgb(0, 0, 255));
    image.setPixel(1, 1, qRgb(255, 255, 0));
    return image;
}

class Wmf {
public:
    // A record of 16-bit parameters, in the order the file stores them.
    Wmf& Record(quint16 function, std::initializer_list<int> words, const QByteArray& tail = {})
    {
        const quint32 size = 3 + quint32(words.size()) + quint32((tail.size() + 1) / 2);
        largest_ = std::max(largest_, size);
        U32(records_, size);
        U16(records_, function);
        for (int w : words)
            U16(records_, quint16(w));
        records_ += tail;
        if (tail.size() % 2)
            records_.append('\0');
        return *this;
    }
    Wmf& Raw(const QByteArray& bytes)
    {
        records_ += bytes;
        return *this;
    }

    Wmf& Pen(int style, int width, quint32 colorref)
    {
        return Record(0x02FA, {style, width, 0, int(colorref & 0xFFFF), int(colorref >> 16)});
    }
    Wmf& Brush(int style, quint32 colorref)
    {
        return Record(0x02FC, {style, int(colorref & 0xFFFF), int(colorref >> 16), 0});
    }
    Wmf& Select(int index) { return Record(0x012D, {index}); }
    Wmf& Delete(int index) { return Record(0x01F0, {index}); }
    Wmf& Rectangle(int l, int t, int r, int b) { return Record(0x041B, {b, r, t, l}); }
    Wmf& Ellipse(int l, int t, int r, int b) { return Record(0x0418, {b, r, t, l}); }
    Wmf& WindowOrg(int x, int y) { return Record(0x020B, {y, x}); }
    Wmf& WindowExt(int x, int y) { return Record(0x020C, {y, x}); }
    Wmf& MoveTo(int x, int y) { return Record(0x0214, {y, x}); }
    Wmf& LineTo(int x, int y) { return Record(0x0213, {y, x}); }
    // StretchDIBits of a whole DIB onto (x, y, w, h).
    Wmf& StretchDib(const Dib& dib, int srcW, int srcH, int x, int y, int w, int h)
    {
        return Record(0x0F43, {0x0020, 0x00CC, 0, srcH, srcW, 0, 0, h, w, y, x}, dib.packed());
    }

    QByteArray Standard() const
    {
        QByteArray body = records_;
        U32(body, 3);
        U16(body, 0);  // META_EOF
        QByteArray b;
        U16(b, 1);
        U16(b, 9);
        U16(b, 0x0300);
        U32(b, quint32((18 + body.size()) / 2));
        U16(b, 8);
        U32(b, largest_);  // other readers take it as the most they need to read at once
        U16(b, 0);
        return b + body;
    }

    QByteArray Placeable(const QRect& box, quint16 inch) const
    {
        QByteArray h;
        U32(h, 0x9AC6CDD7u);
        U16(h, 0);
        U16(h, quint16(box.left()));
        U16(h, quint16(box.top()));
        U16(h, quint16(box.left() + box.width()));
        U16(h, quint16(box.top() + box.height()));
        U16(h, inch);
        U32(h, 0);
        quint16 sum = 0;
        for (int i = 0; i < 10; ++i)
            sum ^= qFromLittleEndian<quint16>(h.constData() + i * 2);
        U16(h, sum);
        return h + Standard();
    }

private:
    QByteArray records_;
    quint32 largest_ = 3;  // in 16-bit words: META_EOF at least
};

class Emf {
public:
    Emf& Record(quint32 type, std::initializer_list<qint64> dwords, const QByteArray& tail = {})
    {
        QByteArray r;
        U32(r, type);
        U32(r, quint32(8 + dwords.size() * 4 + tail.size()));
        for (qint64 d : dwords)
            U32(r, quint32(d));
        r += tail;
        records_ += r;
        ++count_;
        return *this;
    }
    Emf& Raw(const QByteArray& bytes)
    {
        records_ += bytes;
        return *this;
    }

    Emf& Brush(quint32 index, quint32 colorref) { return Record(39, {index, 0, colorref, 0}); }
    Emf& Pen(quint32 index, int style, int width, quint32 colorref)
    {
        return Record(38, {index, style, width, 0, colorref});
    }
    Emf& Select(quint32 index) { return Record(37, {index}); }
    Emf& Rectangle(int l, int t, int r, int b) { return Record(43, {l, t, r, b}); }
    Emf& Ellipse(int l, int t, int r, int b) { return Record(42, {l, t, r, b}); }
    Emf& MapMode(int mode) { return Record(17, {mode}); }
    Emf& WindowExt(int x, int y) { return Record(9, {x, y}); }
    Emf& ViewportExt(int x, int y) { return Record(11, {x, y}); }
    // EMR_STRETCHDIBITS of the whole DIB onto (x, y, w, h).
    Emf& StretchDib(const Dib& dib, int srcW, int srcH, int x, int y, int w, int h)
    {
        const qint64 infoAt = 80, bitsAt = 80 + dib.info.size();
        return Record(
            81,
            {0, 0, 0, 0, x, y, 0, 0, srcW, srcH, infoAt, dib.info.size(), bitsAt, dib.bits.size(), 0, 0x00CC0020, w, h},
            dib.info + dib.bits);
    }
    // EMR_BITBLT of the whole DIB at (x, y), unstretched.
    Emf& BitBlt(const Dib& dib, int x, int y, int w, int h)
    {
        QByteArray identity;
        for (float f : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}) {
            char c[4];
            qToLittleEndian(f, c);
            identity.append(c, 4);
        }
        QByteArray r;
        U32(r, 76);
        U32(r, quint32(100 + dib.info.size() + dib.bits.size()));
        for (qint64 d : {0, 0, 0, 0})
            U32(r, quint32(d));
        for (qint64 d : {qint64(x), qint64(y), qint64(w), qint64(h), qint64(0x00CC0020), qint64(0), qint64(0)})
            U32(r, quint32(d));
        r += identity;
        for (qint64 d : {qint64(0), qint64(0), qint64(100), qint64(dib.info.size()), qint64(100 + dib.info.size()),
                         qint64(dib.bits.size())})
            U32(r, quint32(d));
        r += dib.info + dib.bits;
        records_ += r;
        ++count_;
        return *this;
    }

    // frame in 0.01 mm; the reference device has 100 pixels per 25.4 mm, so 2540 units are 100 pixels.
    QByteArray Build(const QRect& frame) const
    {
        QByteArray eof;
        U32(eof, 14);
        U32(eof, 20);
        U32(eof, 0);
        U32(eof, 16);
        U32(eof, 20);
        QByteArray h;
        U32(h, 1);
        U32(h, 88);
        for (qint64 d : {0, 0, 99, 99})
            U32(h, quint32(d));
        for (int d : {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()})
            U32(h, quint32(d));
        U32(h, 0x464D4520u);
        U32(h, 0x10000);
        U32(h, quint32(88 + records_.size() + eof.size()));
        U32(h, quint32(count_ + 2));
        U16(h, 8);
        U16(h, 0);
        U32(h, 0);
        U32(h, 0);
        U32(h, 0);
        U32(h, 1000);
        U32(h, 1000);
        U32(h, 254);
        U32(h, 254);
        return h + records_ + eof;
    }

private:
    QByteArray records_;
    int count_ = 0;
};

constexpr quint32 Red = 0x0000FF;  // COLORREF 0x00BBGGRR
constexpr quint32 Green = 0x00FF00;
constexpr quint32 Blue = 0xFF0000;
constexpr int NullPen = 5;

// A red rectangle (10,10)-(50,50) and a blue ellipse in (50,50)-(90,90), no outlines.
inline Wmf RectangleAndEllipseWmf()
{
    Wmf w;
    w.Pen(NullPen, 0, 0).Select(0);
    w.Brush(0, Red).Select(1).Rectangle(10, 10, 50, 50);
    w.Brush(0, Blue).Select(2).Ellipse(50, 50, 90, 90);
    return w;
}

}  // namespace build
