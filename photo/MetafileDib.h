#pragma once
// Device-independent bitmaps as metafiles embed them: a BITMAPINFO (header and
// colour table) followed, or accompanied, by the pixel bits.

#include <QByteArrayView>
#include <QImage>

// The bytes of the header plus colour table at the start of a packed DIB, or -1 when unreadable.
qsizetype DibInfoSize(QByteArrayView dib);

// A packed DIB (info immediately followed by bits). A null image when it cannot be read.
QImage DecodePackedDib(QByteArrayView dib);
// Info and bits kept apart, as enhanced metafiles store them.
QImage DecodeDib(QByteArrayView info, QByteArrayView bits);

// A DIB's height is positive for bottom-up rows.
bool DibIsBottomUp(QByteArrayView info);
