// Picture files that claim more than they hold, or ask for more work than a
// picture needs: the photo box and the dialog's preview read them without
// overflowing a size, allocating without bound, or decoding what is not shown.

#include "photo/DibGeometry.h"
#include "photo/Graphics.h"
#include "photo/JpegCodec.h"
#include "photo/MetafileHeader.h"
#include "photo/PicturePreview.h"
#include "platform/Errors.h"
#include "tests/photo/JpegSamples.h"
#include "tests/photo/MetafileBuilders.h"
#include "tests/support/EncodedImage.h"
#include "tests/support/TestFolder.h"

#include <QFile>
#include <QtTest>

namespace {

QImage Filled(QSize size, const QColor& colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

// An icon file whose directory lists the images in order; each entry's own
// width, height and bit count bytes say what the caller gives.
struct IconImage {
    QByteArray bytes;
    int directorySide = 0;  // 0 stands for 256
    int bitCount = 32;
};

// With shared, every entry names the first image's bytes.
QByteArray IconFile(const QList<IconImage>& images, bool shared = false)
{
    QByteArray file;
    build::U16(file, 0);
    build::U16(file, 1);
    build::U16(file, quint16(images.size()));
    quint32 offset = quint32(6 + 16 * images.size());
    QByteArray bodies;
    for (const IconImage& image : images) {
        file.append(char(image.directorySide));
        file.append(char(image.directorySide));
        file.append(char(0));
        file.append(char(0));
        build::U16(file, 1);
        build::U16(file, quint16(image.bitCount));
        build::U32(file, quint32(image.bytes.size()));
        build::U32(file, shared ? offset : offset + quint32(bodies.size()));
        if (!shared || bodies.isEmpty())
            bodies += image.bytes;
    }
    return file + bodies;
}

// The header of a DIB as an icon stores it: its height counts the mask rows too.
QByteArray IconDibHeader(qint32 width, qint32 height, int bitCount)
{
    QByteArray b;
    for (qint64 v : {qint64(40), qint64(width), qint64(height) * 2})
        build::U32(b, quint32(v));
    build::U16(b, 1);
    build::U16(b, quint16(bitCount));
    for (int i = 0; i < 6; ++i)
        build::U32(b, 0);
    return b;
}

// A PNG signature and IHDR claiming a size, and nothing after it.
QByteArray PngClaiming(quint32 width, quint32 height)
{
    QByteArray b("\x89PNG\r\n\x1a\n", 8);
    b += QByteArray::fromHex("0000000d49484452");
    char c[4];
    qToBigEndian(width, c);
    b.append(c, 4);
    qToBigEndian(height, c);
    b.append(c, 4);
    return b + QByteArray::fromHex("0806000000") + QByteArray(4, '\0');
}

// A .bmp file with a BITMAPINFOHEADER claiming the given size, followed by some bytes of pixels.
QByteArray BmpClaiming(qint32 width, qint32 height, int bitCount, quint32 compression, int pixelBytes,
                       quint32 headerSize = 40)
{
    QByteArray info;
    build::U32(info, headerSize);
    build::U32(info, quint32(width));
    build::U32(info, quint32(height));
    build::U16(info, 1);
    build::U16(info, quint16(bitCount));
    build::U32(info, compression);
    for (int i = 0; i < 5; ++i)
        build::U32(info, 0);
    const int colours = bitCount <= 8 ? 1 << bitCount : 0;
    QByteArray file("BM");
    build::U32(file, quint32(14 + info.size() + colours * 4 + pixelBytes));
    build::U32(file, 0);
    build::U32(file, quint32(14 + info.size() + colours * 4));
    return file + info + QByteArray(colours * 4, '\x40') + QByteArray(pixelBytes, '\x11');
}

void PutBigEndian16(QByteArray& bytes, qsizetype at, int value)
{
    bytes[at] = char(value >> 8);
    bytes[at + 1] = char(value & 0xFF);
}

// A JPEG whose frame header claims another size than its data holds.
QByteArray JpegClaiming(const QByteArray& jpeg, int frameMarker, int width, int height)
{
    QByteArray bytes = jpeg;
    const qsizetype frame = samples::MarkerBody(bytes, frameMarker);
    PutBigEndian16(bytes, frame + 1, height);
    PutBigEndian16(bytes, frame + 3, width);
    return bytes;
}

QByteArray ProgressiveJpeg()
{
    return samples::Fixture(QStringLiteral("progressive.jpg"));
}

// The first scan of a progressive file (its SOS segment and coded data) repeated many times.
QByteArray WithFirstScanRepeated(const QByteArray& jpeg, int copies)
{
    const qsizetype start = samples::MarkerBody(jpeg, 0xDA) - 4;
    qsizetype end = start + 2;
    while (end + 1 < jpeg.size()) {
        const auto next = static_cast<unsigned char>(jpeg.at(end + 1));
        if (static_cast<unsigned char>(jpeg.at(end)) == 0xFF && next != 0 && (next < 0xD0 || next > 0xD7))
            break;
        ++end;
    }
    const QByteArray scan = jpeg.mid(start, end - start);
    return jpeg.left(end) + scan.repeated(copies) + jpeg.mid(end);
}

QString Refusal(TGraphic& picture, const QByteArray& bytes)
{
    try {
        picture.LoadFromBytes(bytes);
    } catch (const Exception& e) {
        return e.Message;
    }
    return QString();
}

}  // namespace

class HostilePicturesTest : public QObject {
    Q_OBJECT

private slots:
    // Every entry names the same large image: decoding each would take many
    // minutes, decoding the one shown takes a moment.
    void shouldDecodeOnlyTheIconImageShown()
    {
        const QByteArray png = Encoded(Filled(QSize(1024, 1024), Qt::darkGreen), "PNG");
        QList<IconImage> images(65535, IconImage{png});
        TIcon icon;
        icon.LoadFromBytes(IconFile(images, true));
        QCOMPARE(QSize(icon.Width(), icon.Height()), QSize(1024, 1024));
        QCOMPARE(icon.Image.pixelColor(512, 512), QColor(Qt::darkGreen));
    }

    void shouldShowTheLargestIconImageItsHeaderNames_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QColor>("shown");
        const QByteArray small = Encoded(Filled(QSize(16, 16), Qt::red), "PNG");
        const QByteArray large = Encoded(Filled(QSize(48, 48), Qt::blue), "PNG");
        const QByteArray largeTooDeep = Encoded(Filled(QSize(48, 48), Qt::yellow), "PNG");
        const QByteArray broken = PngClaiming(64, 64);
        // The directory's own width bytes are not trusted: they say 16 for every image here.
        QTest::newRow("largest last") << IconFile({{small, 16}, {large, 16}}) << QColor(Qt::blue);
        QTest::newRow("largest first") << IconFile({{large, 16}, {small, 16}}) << QColor(Qt::blue);
        QTest::newRow("equal sizes: deeper colour")
            << IconFile({{large, 16, 8}, {largeTooDeep, 16, 32}}) << QColor(Qt::yellow);
        QTest::newRow("largest cannot be decoded") << IconFile({{small, 16}, {broken, 16}}) << QColor(Qt::red);
        QTest::newRow("claims beyond the side bound")
            << IconFile({{small}, {PngClaiming(0x7FFFFFFF, 0x7FFFFFFF)}}) << QColor(Qt::red);
        QTest::newRow("DIB claims a huge size")
            << IconFile({{small}, {IconDibHeader(100000, 100000, 32)}}) << QColor(Qt::red);
    }
    void shouldShowTheLargestIconImageItsHeaderNames()
    {
        QFETCH(QByteArray, file);
        QFETCH(QColor, shown);
        TIcon icon;
        icon.LoadFromBytes(file);
        QCOMPARE(icon.Image.pixelColor(icon.Width() / 2, icon.Height() / 2), shown);
    }

    void shouldRefuseIconsWhoseImagesCannotBe_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray png = Encoded(Filled(QSize(8, 8), Qt::red), "PNG");
        QByteArray pastTheEnd = IconFile({{png}});
        build::U32(pastTheEnd, 0);
        qToLittleEndian<quint32>(0xFFFFFFF0u, pastTheEnd.data() + 6 + 12);  // offset
        QByteArray tooLong = IconFile({{png}});
        qToLittleEndian<quint32>(0xFFFFFFFFu, tooLong.data() + 6 + 8);  // size
        QTest::newRow("offset beyond the file") << pastTheEnd;
        QTest::newRow("size beyond the file") << tooLong;
        QTest::newRow("only a huge claim") << IconFile({{PngClaiming(100000, 100000)}});
        QTest::newRow("DIB of width and height 2^31 - 1") << IconFile({{IconDibHeader(0x7FFFFFFF, 0x3FFFFFFF, 32)}});
        QTest::newRow("DIB of an unknown depth") << IconFile({{IconDibHeader(16, 16, 7)}});
    }
    void shouldRefuseIconsWhoseImagesCannotBe()
    {
        QFETCH(QByteArray, file);
        TIcon icon;
        QCOMPARE(Refusal(icon, file), QStringLiteral("图标图象无效"));
    }

    void shouldRefuseBitmapsThatClaimWhatTheyDoNotHold_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("width 2^31 - 1") << BmpClaiming(0x7FFFFFFF, 1, 24, 0, 64);
        QTest::newRow("height -2^31") << BmpClaiming(1, qint32(0x80000000u), 24, 0, 64);
        QTest::newRow("product beyond 32 bits") << BmpClaiming(0x10000, 0x10000, 32, 0, 64);
        QTest::newRow("beyond the pixel bound") << BmpClaiming(30001, 1000, 1, 0, 64);
        QTest::newRow("run-length beyond the pixel bound") << BmpClaiming(20000, 20000, 8, 1, 2);
        QTest::newRow("rows cut short") << BmpClaiming(100, 100, 24, 0, 100 * 300 - 1);
        QTest::newRow("unknown depth") << BmpClaiming(4, 4, 7, 0, 64);
        QTest::newRow("header size 2^32 - 1") << BmpClaiming(4, 4, 24, 0, 64, 0xFFFFFFFFu);
        QTest::newRow("core header 65535 square")
            << QByteArray("BM").append(QByteArray::fromHex("000000000000000000001a0000000c000000ffffffff01001800"));
    }
    void shouldRefuseBitmapsThatClaimWhatTheyDoNotHold()
    {
        QFETCH(QByteArray, file);
        TBitmap bitmap;
        QCOMPARE(Refusal(bitmap, file), QStringLiteral("位图图象无效"));
        QVERIFY(bitmap.Empty());
    }

    void shouldLoadBitmapsWhoseRowsAreAllThere_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QSize>("size");
        QTest::newRow("bottom-up") << BmpClaiming(100, 100, 24, 0, 100 * 300) << QSize(100, 100);
        QTest::newRow("top-down") << BmpClaiming(3, -2, 24, 0, 2 * 12) << QSize(3, 2);
        // Run-length data may cover a large picture in a few bytes: end of bitmap at once.
        QTest::newRow("run-length") << BmpClaiming(2000, 1000, 8, 1, 0).append("\0\1", 2) << QSize(2000, 1000);
    }
    void shouldLoadBitmapsWhoseRowsAreAllThere()
    {
        QFETCH(QByteArray, file);
        QFETCH(QSize, size);
        TBitmap bitmap;
        bitmap.LoadFromBytes(file);
        QCOMPARE(QSize(bitmap.Width(), bitmap.Height()), size);
    }

    // A colour table of two entries for run-length pixels that use 256: those
    // beyond the table draw black (reading on would leave the table's memory).
    void shouldDrawPixelsBeyondAShortColourTableBlack()
    {
        QByteArray file = BmpClaiming(4, 1, 8, 1, 0);
        file.truncate(14 + 40);
        qToLittleEndian<quint32>(2, file.data() + 14 + 32);  // colours used
        qToLittleEndian<quint32>(14 + 40 + 8, file.data() + 10);
        build::U32(file, 0x00FF0000);                             // red
        build::U32(file, 0x000000FF);                             // blue
        file += QByteArray::fromHex("0100010101c801ff00000001");  // runs of one pixel each, end of bitmap
        TBitmap bitmap;
        bitmap.LoadFromBytes(file);
        QImage canvas(4, 1, QImage::Format_RGB32);
        QPainter painter(&canvas);
        bitmap.Draw(painter, canvas.rect());
        painter.end();
        QCOMPARE(canvas.pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(canvas.pixelColor(1, 0), QColor(Qt::blue));
        QCOMPARE(canvas.pixelColor(2, 0), QColor(Qt::black));
        QCOMPARE(canvas.pixelColor(3, 0), QColor(Qt::black));
    }

    void shouldKeepTheSizeAMetafileClaimsDrawable_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QSize>("size");
        build::Emf bounds;
        QByteArray unbounded = bounds.Rectangle(0, 0, 10, 10).Build(QRect(0, 0, 0, 0));  // no frame: the bounds count
        qToLittleEndian<qint32>(0, unbounded.data() + 8);
        qToLittleEndian<qint32>(0, unbounded.data() + 12);
        qToLittleEndian<qint32>(2147483646, unbounded.data() + 16);
        qToLittleEndian<qint32>(2147483646, unbounded.data() + 20);
        QTest::newRow("EMF bounds 0 to 2^31 - 2") << unbounded << QSize(MaxMetafileSide, MaxMetafileSide);

        QByteArray wideFrame = build::Emf().Build(QRect(0, 0, 100, 100));
        qToLittleEndian<qint32>(qint32(0x80000000u), wideFrame.data() + 24);
        qToLittleEndian<qint32>(0x7FFFFFFF, wideFrame.data() + 32);
        QTest::newRow("EMF frame over all 32 bits, proportions kept") << wideFrame << QSize(MaxMetafileSide, 0);

        build::Wmf w;
        w.Rectangle(0, 0, 10, 10);
        QTest::newRow("placeable WMF at one unit per inch")
            << w.Placeable(QRect(-32768, -16384, 65535, 32767), 1) << QSize(MaxMetafileSide, 16383);
    }
    void shouldKeepTheSizeAMetafileClaimsDrawable()
    {
        QFETCH(QByteArray, file);
        QFETCH(QSize, size);
        TMetafile metafile;
        metafile.LoadFromBytes(file);
        QCOMPARE(QSize(metafile.Width(), metafile.Height()), size);
        QImage canvas(141, 141, QImage::Format_RGB32);
        QPainter painter(&canvas);
        metafile.Draw(painter, canvas.rect());
    }

    // Each bitmap claims the most pixels a bitmap may have, in two bytes of
    // run-length data; one playing decodes four of them and leaves the rest out.
    void shouldBoundTheBitmapPixelsOneMetafileDecodes()
    {
        build::Dib dib;
        for (qint64 v : {40, 6000, 5000})
            build::U32(dib.info, quint32(v));
        build::U16(dib.info, 1);
        build::U16(dib.info, 8);
        for (qint64 v : {1, 0, 0, 0, 1, 0})  // run-length, one colour
            build::U32(dib.info, quint32(v));
        build::U32(dib.info, 0x00FF0000);      // red
        dib.bits = QByteArray("\0\1\0\0", 4);  // end of bitmap, and the record padded to whole words
        QCOMPARE(6000LL * 5000, MaxDibPixels);
        build::Emf emf;
        for (int stripe = 0; stripe < 5; ++stripe)
            emf.StretchDib(dib, 6000, 5000, stripe * 20, 0, 20, 100);
        QImage canvas(100, 100, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        TMetafile metafile;
        metafile.LoadFromBytes(emf.Build(QRect(0, 0, 2540, 2540)));
        metafile.Draw(painter, canvas.rect());
        painter.end();
        for (int stripe = 0; stripe < 5; ++stripe)
            QCOMPARE(canvas.pixelColor(stripe * 20 + 10, 50), stripe < 4 ? QColor(Qt::red) : QColor(Qt::white));
    }

    void shouldSizeTheWholePictureWindowWithoutOverflow_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QSize>("window");
        QTest::newRow("fits") << QSize(300, 200) << QSize(1920, 1080) << QSize(308, 208);
        QTest::newRow("small") << QSize(20, 10) << QSize(1920, 1080) << QSize(160, 160);
        QTest::newRow("larger than the screen") << QSize(5000, 100) << QSize(1920, 1080) << QSize(1728, 160);
        QTest::newRow("largest int, no screen")
            << QSize(2147483647, 2147483647) << QSize() << QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        QTest::newRow("largest int") << QSize(2147483647, 2147483647) << QSize(1920, 1080) << QSize(1728, 972);
    }
    void shouldSizeTheWholePictureWindowWithoutOverflow()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, screen);
        QFETCH(QSize, window);
        QCOMPARE(WholePictureWindowSize(picture, screen), window);
    }

    // A preview decodes at the scale it shows, its nearest pixels keeping the picture's look.
    void shouldDecodeThePreviewAtTheSizeShown_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<QSize>("decoded");
        QTest::newRow("one eighth exactly") << QSize(800, 600) << QSize(100, 75) << QSize(100, 75);
        QTest::newRow("between scales") << QSize(801, 601) << QSize(141, 105) << QSize(141, 105);
        QTest::newRow("smaller than shown") << QSize(40, 30) << QSize(141, 105) << QSize(40, 30);
        QTest::newRow("a line") << QSize(1000, 16) << QSize(141, 2) << QSize(141, 2);
    }
    void shouldDecodeThePreviewAtTheSizeShown()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, shown);
        QFETCH(QSize, decoded);
        const QImage image = DecodeJpegToFit(CompressJpeg(samples::Quarters(picture.width(), picture.height())), shown);
        QCOMPARE(image.size(), decoded);
        const auto near = [](const QColor& a, const QColor& b) {
            return std::abs(a.red() - b.red()) < 48 && std::abs(a.green() - b.green()) < 48
                   && std::abs(a.blue() - b.blue()) < 48;
        };
        if (decoded.height() >= 4) {
            const int w = decoded.width(), h = decoded.height();
            QVERIFY(near(image.pixelColor(w / 4, h / 4), Qt::red));
            QVERIFY(near(image.pixelColor(3 * w / 4, h / 4), Qt::blue));
            QVERIFY(near(image.pixelColor(w / 4, 3 * h / 4), Qt::green));
            QVERIFY(near(image.pixelColor(3 * w / 4, 3 * h / 4), Qt::yellow));
        }
    }

    // A header claiming 400 million pixels: the box stays blank, the preview
    // decodes only what it shows, or, where the library would have to hold
    // every coefficient of the claim, refuses.
    void shouldBoundWhatAClaimedJpegSizeCosts()
    {
        const QByteArray baseline = JpegClaiming(CompressJpeg(samples::Quarters(16, 16)), 0xC0, 20000, 20000);
        QVERIFY(DecodeJpeg(baseline).isNull());
        QCOMPARE(DecodeJpegToFit(baseline, QSize(141, 141)).size(), QSize(141, 141));

        const QByteArray progressive = JpegClaiming(ProgressiveJpeg(), 0xC2, 20000, 20000);
        QVERIFY(DecodeJpeg(progressive).isNull());
        QVERIFY_THROWS_EXCEPTION(EJPEG, DecodeJpegToFit(progressive, QSize(141, 141)));

        TJPEGImage picture;
        picture.LoadFromBytes(baseline);
        QCOMPARE(QSize(picture.Width(), picture.Height()), QSize(20000, 20000));
    }

    // Data that ends early: the rows it holds as decoded, every later row the
    // library's grey, whether the decode reads them or stops at the end.
    void shouldDecodeDataThatEndsEarlyAsDataThenGrey_data()
    {
        QTest::addColumn<QByteArray>("jpeg");
        QTest::addColumn<int>("claimedHeight");
        const QByteArray whole = CompressJpeg(samples::Quarters(64, 256));
        const qsizetype data = samples::MarkerBody(whole, 0xDA);
        const QByteArray cut = whole.left(data + (whole.size() - data) / 3);
        QTest::newRow("cut") << cut << 256;
        QTest::newRow("cut and claiming more rows") << JpegClaiming(cut, 0xC0, 64, 9000) << 9000;
        QTest::newRow("end marker early") << JpegClaiming(whole, 0xC0, 64, 9000) << 9000;
    }
    void shouldDecodeDataThatEndsEarlyAsDataThenGrey()
    {
        QFETCH(QByteArray, jpeg);
        QFETCH(int, claimedHeight);
        const QImage image = DecodeJpeg(jpeg);
        QCOMPARE(image.size(), QSize(64, claimedHeight));
        QVERIFY(std::abs(image.pixelColor(16, 8).red() - 255) < 48);  // the first rows: the red quarter
        const QColor grey(128, 128, 128);
        for (int y : {claimedHeight - 1, claimedHeight / 2 + 40})
            for (int x : {0, 40, 63})
                QCOMPARE(image.pixelColor(x, y), grey);
        const QImage preview = DecodeJpegToFit(jpeg, QSize(16, claimedHeight / 4));
        QCOMPARE(preview.pixelColor(8, preview.height() - 1), grey);
    }

    void shouldStopAtTheScanLimit()
    {
        const QByteArray manyScans = WithFirstScanRepeated(ProgressiveJpeg(), 300);
        const QString tooMany = QStringLiteral("JPEG error #%1").arg(JpegMessageCode::TooManyScans);
        for (auto decode : {+[](const QByteArray& b) { return DecodeJpeg(b); },
                            +[](const QByteArray& b) { return DecodeJpegToFit(b, QSize(20, 20)); }}) {
            try {
                decode(manyScans);
                QFAIL("decoded");
            } catch (const EJPEG& e) {
                QCOMPARE(e.Message, tooMany);
            }
        }
        QVERIFY(!DecodeJpeg(WithFirstScanRepeated(ProgressiveJpeg(), 20)).isNull());  // a few more scans are fine
    }

    // The preview reads no file beyond its limit; a sparse file costs no disk.
    void shouldNotPreviewFilesBeyondTheByteLimit_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("shown");
        QTest::newRow("at the limit") << PreviewByteLimit << true;
        QTest::newRow("one byte more") << PreviewByteLimit + 1 << false;
    }
    void shouldNotPreviewFilesBeyondTheByteLimit()
    {
        QFETCH(qint64, size);
        QFETCH(bool, shown);
        TestFolder folder;
        const QString name = folder.file(QStringLiteral("large.jpg"));
        TestFolder::writeAll(name, CompressJpeg(samples::Quarters(30, 20)));
        QFile file(name);
        QVERIFY(file.resize(size));
        PicturePreview preview;
        preview.ShowFile(name);
        QCOMPARE(preview.Pane()->Picture() != nullptr, shown);
    }
};

QTEST_MAIN(HostilePicturesTest)
#include "test_hostile_pictures.moc"
