#pragma once
// Sample pictures and a small JPEG marker reader for the photo tests.

#include "tests/support/TestFolder.h"
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QString>

namespace samples {

inline QByteArray Fixture(const QString& name)
{
    QFile file(TestFolder::sourcePath(QStringLiteral(PHOTO_TEST_DATA "/") + name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test file %s", qPrintable(file.fileName()));
    return file.readAll();
}

// Four coloured quarters, so stretching and colour survive a round trip visibly.
inline QImage Quarters(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, width / 2, height / 2, Qt::red);
    p.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::blue);
    p.fillRect(0, height / 2, width / 2, height - height / 2, Qt::green);
    p.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::yellow);
    return image;
}

// What the markers of a JPEG file say about how it was encoded.
struct JpegLayout {
    QList<int> frameMarkers;        // SOFn markers found (0xC0 baseline, 0xC2 progressive, ...)
    int components = 0;             // of the first frame
    int scans = 0;                  // SOS markers in the whole file
    QList<QList<int>> quantTables;  // each DQT table, 64 values in zig-zag order, by table number
};

inline JpegLayout ReadLayout(const QByteArray& jpeg)
{
    JpegLayout layout;
    const auto byteAt = [&](qsizetype i) { return static_cast<unsigned char>(jpeg.at(i)); };
    // Entropy-coded data stuffs 0xFF with 0x00, so FF DA only ever starts a scan.
    for (qsizetype i = 0; i + 1 < jpeg.size(); ++i)
        if (byteAt(i) == 0xFF && byteAt(i + 1) == 0xDA)
            ++layout.scans;
    qsizetype pos = 2;
    while (pos + 4 <= jpeg.size() && byteAt(pos) == 0xFF) {
        const int marker = byteAt(pos + 1);
        const int length = byteAt(pos + 2) << 8 | byteAt(pos + 3);
        const QByteArray body = jpeg.mid(pos + 4, length - 2);
        if (marker == 0xDA)
            break;
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            layout.frameMarkers.append(marker);
            if (layout.frameMarkers.size() == 1)
                layout.components = static_cast<unsigned char>(body.at(5));
        }
        if (marker == 0xDB) {
            for (qsizetype t = 0; t + 65 <= body.size(); t += 65) {
                const int number = body.at(t) & 0x0F;
                while (layout.quantTables.size() <= number)
                    layout.quantTables.append(QList<int>());
                QList<int> values;
                for (int k = 0; k < 64; ++k)
                    values.append(static_cast<unsigned char>(body.at(t + 1 + k)));
                layout.quantTables[number] = values;
            }
        }
        pos += 2 + length;
    }
    return layout;
}

// Offset of the first byte of a marker's body (after its length), or -1.
inline qsizetype MarkerBody(const QByteArray& jpeg, int marker)
{
    qsizetype pos = 2;
    while (pos + 4 <= jpeg.size() && static_cast<unsigned char>(jpeg.at(pos)) == 0xFF) {
        const int found = static_cast<unsigned char>(jpeg.at(pos + 1));
        if (found == marker)
            return pos + 4;
        if (found == 0xDA)
            return -1;
        pos += 2 + (static_cast<unsigned char>(jpeg.at(pos + 2)) << 8 | static_cast<unsigned char>(jpeg.at(pos + 3)));
    }
    return -1;
}

}  // namespace samples
