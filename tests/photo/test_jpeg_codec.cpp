// JPEG coding and the bitmap and JPEG picture kinds.

#include "photo/Graphics.h"
#include "photo/JpegCodec.h"
#include "platform/Errors.h"
#include "tests/photo/JpegSamples.h"
#include "tests/support/EncodedImage.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The library's standard tables (natural order) scaled for quality 90 as
// jpeg_set_quality does, then read out in the zig-zag order DQT stores them in.
QList<int> Quality90Table(const int (&standard)[64])
{
    static const int zigzagToNatural[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                            12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                            35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                            58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
    const int scale = 200 - 2 * 90;
    QList<int> table;
    for (int k = 0; k < 64; ++k)
        table.append(std::clamp((standard[zigzagToNatural[k]] * scale + 50) / 100, 1, 255));
    return table;
}

const int StandardLuminance[64] = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                                   14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                                   18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                                   49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
const int StandardChrominance[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                     24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                     99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                     99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

QByteArray BmpFile(const QImage& image)
{
    return Encoded(image, "BMP");
}

QByteArray CompressedBitmap(const QImage& image)
{
    TBitmap bitmap;
    bitmap.Image = image;
    TJPEGImage jpeg;
    jpeg.Assign(bitmap);
    return jpeg.SaveToBytes();
}

QString JpegError(int code)
{
    return QStringLiteral("JPEG error #%1").arg(code);
}

}  // namespace

class JpegCodecTest : public QObject {
    Q_OBJECT
private slots:
    void shouldCompressBitmapAsBaselineColourJpegOfQuality90()
    {
        const QByteArray jpeg = CompressedBitmap(samples::Quarters(60, 44));
        const samples::JpegLayout layout = samples::ReadLayout(jpeg);
        QVERIFY(jpeg.startsWith("\xFF\xD8"));
        QVERIFY(jpeg.endsWith("\xFF\xD9"));
        QCOMPARE(layout.frameMarkers, QList<int>{0xC0});
        QCOMPARE(layout.components, 3);
        QCOMPARE(layout.scans, 1);
        QCOMPARE(layout.quantTables.size(), 2);
        QCOMPARE(layout.quantTables[0], Quality90Table(StandardLuminance));
        QCOMPARE(layout.quantTables[1], Quality90Table(StandardChrominance));

        const JpegHeader header = ReadJpegHeader(jpeg);
        QCOMPARE(header.Width, 60);
        QCOMPARE(header.Height, 44);
        QVERIFY(!header.Grayscale);
        QVERIFY(!header.Progressive);
    }

    // Same machine, same library, same settings: the bytes must agree, which
    // also pins the floating-point DCT that the markers cannot show.
    void shouldCompressExactlyAsCjpegWithTheFixedSettings()
    {
        const QString cjpeg = QStandardPaths::findExecutable(QStringLiteral("cjpeg"));
        if (cjpeg.isEmpty())
            QSKIP("cjpeg (libjpeg-turbo-progs) is not installed");
        QTemporaryDir dir;
        const QImage image = samples::Quarters(37, 23);
        QVERIFY(image.save(dir.filePath(QStringLiteral("in.ppm")), "PPM"));
        QProcess process;
        process.start(cjpeg, {QStringLiteral("-quality"), QStringLiteral("90"), QStringLiteral("-baseline"),
                              QStringLiteral("-dct"), QStringLiteral("float"), QStringLiteral("-outfile"),
                              dir.filePath(QStringLiteral("out.jpg")), dir.filePath(QStringLiteral("in.ppm"))});
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.exitCode(), 0);
        QFile out(dir.filePath(QStringLiteral("out.jpg")));
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(CompressedBitmap(image), out.readAll());
    }

    void shouldGiveZeroBytesForBitmapWithoutPixels()
    {
        for (const QImage& image : {QImage(), QImage(0, 5, QImage::Format_RGB32)}) {
            TBitmap bitmap;
            bitmap.Image = image;
            TJPEGImage jpeg;
            jpeg.Assign(bitmap);
            QCOMPARE(jpeg.SaveToBytes(), QByteArray());
        }
        QCOMPARE(CompressJpeg(QImage()), QByteArray());
    }

    void shouldReadHeaders_data()
    {
        QTest::addColumn<QByteArray>("jpeg");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("grey");
        QTest::addColumn<bool>("progressive");
        QTest::newRow("our baseline") << CompressedBitmap(samples::Quarters(9, 31)) << 9 << 31 << false << false;
        QTest::newRow("grey scale") << samples::Fixture("grey.jpg") << 40 << 53 << true << false;
        QTest::newRow("progressive") << samples::Fixture("progressive.jpg") << 40 << 53 << false << true;
        QTest::newRow("cmyk") << samples::Fixture("cmyk.jpg") << 16 << 12 << false << false;
    }

    void shouldReadHeaders()
    {
        QFETCH(QByteArray, jpeg);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, grey);
        QFETCH(bool, progressive);
        const JpegHeader header = ReadJpegHeader(jpeg);
        QCOMPARE(header.Width, width);
        QCOMPARE(header.Height, height);
        QCOMPARE(header.Grayscale, grey);
        QCOMPARE(header.Progressive, progressive);
    }

    void shouldRaiseLibraryMessageCodeForDataThatIsNotJpeg_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("code");
        QTest::newRow("text") << QByteArray("this is no picture") << JpegMessageCode::NotJpeg;
        QTest::newRow("bitmap file") << BmpFile(samples::Quarters(4, 4)) << JpegMessageCode::NotJpeg;
        QTest::newRow("start marker only") << QByteArray("\xFF\xD8", 2) << JpegMessageCode::NoImage;
        QTest::newRow("nothing") << QByteArray() << JpegMessageCode::EmptyInput;
    }

    void shouldRaiseLibraryMessageCodeForDataThatIsNotJpeg()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, code);
        try {
            ReadJpegHeader(bytes);
            QFAIL("no error");
        } catch (const EJPEG& e) {
            QCOMPARE(e.Message, JpegError(code));
        }
        if (!bytes.isEmpty()) {
            TJPEGImage jpeg;
            QVERIFY_THROWS_EXCEPTION(EJPEG, jpeg.LoadFromBytes(bytes));
            QVERIFY_THROWS_EXCEPTION(EJPEG, DecodeJpeg(bytes));
        }
    }

    void shouldLoadEveryByteAndReadHeaderAtOnce()
    {
        const QByteArray file = samples::Fixture("progressive.jpg");
        TJPEGImage jpeg;
        jpeg.LoadFromBytes(file);
        QCOMPARE(jpeg.Data, file);
        QCOMPARE(jpeg.Width(), 40);
        QCOMPARE(jpeg.Height(), 53);
        QVERIFY(jpeg.ProgressiveEncoding);
        QVERIFY(!jpeg.Grayscale);
        QCOMPARE(jpeg.SaveToBytes(), file);

        TJPEGImage empty;
        empty.LoadFromBytes(QByteArray());
        QVERIFY(empty.Empty());
        QCOMPARE(empty.SaveToBytes(), QByteArray());
    }

    void shouldTakeOverJpegBytesUnchanged()
    {
        const QByteArray file = samples::Fixture("progressive.jpg");
        TJPEGImage source;
        source.LoadFromBytes(file);
        QImage drawn(10, 10, QImage::Format_RGB32);
        QPainter painter(&drawn);
        source.Draw(painter, drawn.rect());  // gives the source a decoded image too

        TJPEGImage copy;
        copy.Assign(source);
        QCOMPARE(copy.SaveToBytes(), file);
        QVERIFY(copy.SaveToBytes().endsWith("TRAILING-DATA-AFTER-EOI"));
        QCOMPARE(copy.Width(), 40);
        QVERIFY(copy.ProgressiveEncoding);
    }

    void shouldRefuseIconsAndMetafiles()
    {
        TJPEGImage jpeg;
        try {
            jpeg.Assign(TIcon());
            QFAIL("icon taken");
        } catch (const EConvertError& e) {
            QCOMPARE(e.Message, QStringLiteral("不能指派一个 TIcon 给一个 TJPEGImage"));
        }
        try {
            jpeg.Assign(TMetafile());
            QFAIL("metafile taken");
        } catch (const EConvertError& e) {
            QCOMPARE(e.Message, QStringLiteral("不能指派一个 TMetafile 给一个 TJPEGImage"));
        }
    }

    void shouldDecodeColourAndGreyForDisplay()
    {
        const QImage colour = DecodeJpeg(CompressedBitmap(samples::Quarters(32, 32)));
        QCOMPARE(colour.size(), QSize(32, 32));
        const QColor topLeft = colour.pixelColor(4, 4);
        const QColor bottomRight = colour.pixelColor(28, 28);
        QVERIFY2(topLeft.red() > 220 && topLeft.green() < 40 && topLeft.blue() < 40, "red quarter");
        QVERIFY2(bottomRight.red() > 220 && bottomRight.green() > 220 && bottomRight.blue() < 40, "yellow quarter");

        const QImage grey = DecodeJpeg(samples::Fixture("grey.jpg"));
        QCOMPARE(grey.format(), QImage::Format_Grayscale8);
        QCOMPARE(grey.size(), QSize(40, 53));

        try {
            DecodeJpeg(samples::Fixture("cmyk.jpg"));
            QFAIL("CMYK decoded to RGB");
        } catch (const EJPEG& e) {
            QCOMPARE(e.Message, JpegError(JpegMessageCode::ColourConversion));
        }
    }

    void shouldLoadBitmapFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");  // empty: loads
        QTest::addColumn<QSize>("size");
        const QByteArray bmp = BmpFile(samples::Quarters(7, 5));
        QTest::newRow("bitmap") << bmp << QString() << QSize(7, 5);
        QTest::newRow("empty file") << QByteArray() << QString() << QSize(0, 0);
        QTest::newRow("shorter than header") << bmp.left(13) << QStringLiteral("EReadError 读流发生错误") << QSize();
        QTest::newRow("not BM") << QByteArray("XX").append(bmp.mid(2)) << QStringLiteral("EInvalidGraphic 位图图象无效")
                                << QSize();
        QTest::newRow("BM and garbage") << QByteArray("BM").append(QByteArray(40, '\x7f'))
                                        << QStringLiteral("EInvalidGraphic 位图图象无效") << QSize();
        QTest::newRow("jpeg named bmp") << CompressedBitmap(samples::Quarters(8, 8))
                                        << QStringLiteral("EInvalidGraphic 位图图象无效") << QSize();
    }

    void shouldLoadBitmapFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QFETCH(QSize, size);
        TBitmap bitmap;
        QString raised;
        try {
            bitmap.LoadFromBytes(bytes);
        } catch (const EReadError& e) {
            raised = QStringLiteral("EReadError ") + e.Message;
        } catch (const EInvalidGraphic& e) {
            raised = QStringLiteral("EInvalidGraphic ") + e.Message;
        }
        QCOMPARE(raised, error);
        if (error.isEmpty()) {
            QCOMPARE(QSize(bitmap.Width(), bitmap.Height()), size);
            QCOMPARE(bitmap.Empty(), size.isEmpty());
        }
    }
};

QTEST_MAIN(JpegCodecTest)
#include "test_jpeg_codec.moc"
