#pragma once
// Device-independent bitmaps as metafiles embed them: a BITMAPINFO (header and
// colour table) followed, or accompanied, by the pixel bits.

#include <QByteArrayView>
#include <QImage>

// The bytes of the header plus colour table at the start of a packed DIB, or -1 when unreadable.
qsizetype DibInfoSize(QByteArrayView dib);

// The pixels of embedded bitmaps one playing of a metafile may decode: a
// run-length bitmap claims millions of pixels in a few bytes, and a metafile
// may hold thousands of them. Bitmaps beyond it are left out.
class DibPixelBudget {
public:
    static constexpr qint64 PerPlaying = 120'000'000;
    bool Take(qint64 pixels)
    {
        if (pixels > left_)
            return false;
        left_ -= pixels;
        return true;
    }

private:
    qint64 left_ = PerPlaying;
};

// A packed DIB (info immediately followed by bits). A null image when it cannot
// be read or its pixels are beyond the budget.
QImage DecodePackedDib(QByteArrayView dib, DibPixelBudget& budget);
// Info and bits kept apart, as enhanced metafiles store them.
QImage DecodeDib(QByteArrayView info, QByteArrayView bits, DibPixelBudget& budget);

// A DIB's height is positive for bottom-up rows.
bool DibIsBottomUp(QByteArrayView info);
