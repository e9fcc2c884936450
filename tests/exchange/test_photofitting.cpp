// Imported photos: JPEG kept byte for byte, PNG, GIF and BMP turned into JPEG.

#include "exchange/PhotoFitting.h"
#include "photo/JpegCodec.h"
#include "tests/support/EncodedImage.h"

#include <QImage>
#include <QTest>

namespace {

QImage sample()
{
    QImage image(24, 16, QImage::Format_RGB32);
    image.fill(qRgb(200, 40, 40));
    return image;
}

// A white 1x1 GIF: Qt reads GIF but cannot write it.
const QByteArray tinyGif =
    QByteArray::fromHex("47494638396101000100800000ffffff0000002c00000000010001000002024401003b");

}  // namespace

class PhotoFittingTest : public QObject {
    Q_OBJECT

private slots:
    void shouldKeepJpegBytesExactly()
    {
        // Data after the end marker stays too: nothing is decoded and encoded again.
        const QByteArray jpeg = CompressJpeg(sample()) + "trailing bytes";
        const PhotoFit fit = FitPhoto(jpeg);
        QVERIFY(fit.problem.isEmpty());
        QCOMPARE(*fit.jpeg, jpeg);
    }

    void shouldConvertOtherPicturesToJpeg_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::newRow("PNG") << Encoded(sample(), "PNG") << QSize(24, 16);
        QTest::newRow("BMP") << Encoded(sample(), "BMP") << QSize(24, 16);
        QTest::newRow("GIF") << tinyGif << QSize(1, 1);
    }

    void shouldConvertOtherPicturesToJpeg()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        const PhotoFit fit = FitPhoto(bytes);
        QVERIFY2(fit.jpeg, qPrintable(fit.problem));
        const JpegHeader header = ReadJpegHeader(*fit.jpeg);
        QCOMPARE(QSize(header.Width, header.Height), size);
        QVERIFY(!header.Progressive);
        QVERIFY(!header.Grayscale);
        // The settings of every photo the program makes: same bytes as the codec gives.
        QImage image;
        QVERIFY(image.loadFromData(bytes));
        QCOMPARE(*fit.jpeg, CompressJpeg(image));
    }

    void shouldShowTransparentPicturesOnWhite()
    {
        QImage clear(8, 8, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        const PhotoFit fit = FitPhoto(Encoded(clear, "PNG"));
        QVERIFY(fit.jpeg);
        const QColor pixel = DecodeJpeg(*fit.jpeg).pixelColor(4, 4);
        QVERIFY2(pixel.red() > 245 && pixel.green() > 245 && pixel.blue() > 245, qPrintable(pixel.name()));
    }

    void shouldLeaveOutPicturesItCannotKeep_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("unknown kind") << QByteArray("RIFF\0\0\0\0WEBPVP8 ", 16);
        QTest::newRow("damaged PNG") << Encoded(sample(), "PNG").left(40);
        QTest::newRow("text") << QByteArray("http://example.com/me.jpg");
    }

    void shouldLeaveOutPicturesItCannotKeep()
    {
        QFETCH(QByteArray, bytes);
        const PhotoFit fit = FitPhoto(bytes);
        QVERIFY(!fit.jpeg);
        QVERIFY(fit.problem.startsWith(QStringLiteral("照片")));
    }

    void shouldKeepJpegDataThatDoesNotReadButSaySo()
    {
        const QByteArray damaged("\xff\xd8\xff\xe0garbage", 11);
        const PhotoFit fit = FitPhoto(damaged);
        QCOMPARE(*fit.jpeg, damaged);
        QVERIFY(fit.problem.startsWith(QStringLiteral("照片：JPEG 数据无法读取")));
    }

    void shouldHaveNoPhotoForNoBytes()
    {
        const PhotoFit fit = FitPhoto({});
        QVERIFY(!fit.jpeg);
        QVERIFY(fit.problem.isEmpty());
    }
};

QTEST_GUILESS_MAIN(PhotoFittingTest)
#include "test_photofitting.moc"
