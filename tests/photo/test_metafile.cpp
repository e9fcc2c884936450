// The metafile kind: header checks and sizes, and our player drawing into an image.

#include "photo/Graphics.h"
#include "photo/MetafileRenderer.h"
#include "platform/Errors.h"
#include "tests/photo/MetafileBuilders.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

namespace {

using build::Blue;
using build::NullPen;
using build::Red;

QImage Render(const QByteArray& data, QSize size = QSize(100, 100))
{
    TMetafile metafile;
    metafile.LoadFromBytes(data);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    metafile.Draw(painter, QRect(QPoint(0, 0), size));
    return image;
}

QColor At(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

}  // namespace

class MetafileTest : public QObject {
    Q_OBJECT

private slots:
    void shouldReadSizesFromTheHeader_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("enhanced");
        QTest::addColumn<QSize>("pixels");
        build::Wmf w;
        w.Rectangle(0, 0, 10, 10);
        QTest::newRow("placeable, 1440 a inch") << w.Placeable(QRect(0, 0, 1440, 720), 1440) << false << QSize(96, 48);
        QTest::newRow("placeable, pixels") << w.Placeable(QRect(0, 0, 30, 20), 96) << false << QSize(30, 20);
        build::Wmf windowed;
        windowed.WindowOrg(0, 0).WindowExt(200, 100);
        QTest::newRow("standard, window") << windowed.Standard() << false << QSize(200, 100);
        QTest::newRow("enhanced, 0.01 mm frame")
            << build::Emf().Build(QRect(0, 0, 2540, 5080)) << true << QSize(96, 192);
    }
    void shouldReadSizesFromTheHeader()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, enhanced);
        QFETCH(QSize, pixels);
        TMetafile metafile;
        metafile.LoadFromBytes(data);
        QCOMPARE(metafile.Enhanced, enhanced);
        QCOMPARE(QSize(metafile.Width(), metafile.Height()), pixels);
        QCOMPARE(metafile.Data, data);
        QVERIFY(!metafile.Empty());
        auto copy = metafile.Clone();
        QCOMPARE(static_cast<TMetafile&>(*copy).Data, data);
    }

    void shouldRefuseWhatIsNotAMetafile_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("message");
        const QString invalid = QStringLiteral("元文件无效");
        const QString shortRead = QStringLiteral("读流发生错误");
        QByteArray badChecksum = build::Wmf().Placeable(QRect(0, 0, 10, 10), 96);
        badChecksum[20] = char(badChecksum[20] ^ 0x01);
        QByteArray badSignature = build::Emf().Build(QRect(0, 0, 100, 100));
        badSignature[40] = 'X';
        QByteArray badType = build::Wmf().Standard();
        badType[0] = 3;
        QTest::newRow("empty") << QByteArray() << invalid;
        QTest::newRow("text") << QByteArray("this is no metafile at all, just words") << invalid;
        QTest::newRow("placeable checksum") << badChecksum << invalid;
        QTest::newRow("emf signature") << badSignature << invalid;
        QTest::newRow("wmf type") << badType << invalid;
        QTest::newRow("three bytes") << QByteArray("abc") << shortRead;
        QTest::newRow("short standard") << build::Wmf().Standard().left(12) << shortRead;
        QTest::newRow("short placeable") << build::Wmf().Placeable(QRect(0, 0, 1, 1), 96).left(20) << shortRead;
        QTest::newRow("short emf") << build::Emf().Build(QRect(0, 0, 9, 9)).left(60) << shortRead;
    }
    void shouldRefuseWhatIsNotAMetafile()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, message);
        TMetafile metafile;
        try {
            metafile.LoadFromBytes(data);
            QFAIL("loaded");
        } catch (const Exception& e) {
            QCOMPARE(e.Message, message);
        }
        QVERIFY(metafile.Empty());
    }

    void shouldDrawRectangleAndEllipseOfAWindowsMetafile()
    {
        const QImage image = Render(build::RectangleAndEllipseWmf().Placeable(QRect(0, 0, 100, 100), 96));
        QCOMPARE(At(image, 30, 30), QColor(Qt::red));
        QCOMPARE(At(image, 70, 70), QColor(Qt::blue));
        QCOMPARE(At(image, 52, 52), QColor(Qt::white));  // outside the ellipse, inside its box
        QCOMPARE(At(image, 5, 5), QColor(Qt::white));
        QCOMPARE(At(image, 30, 70), QColor(Qt::white));
    }

    void shouldStretchThePictureOntoTheTarget()
    {
        const QImage image =
            Render(build::RectangleAndEllipseWmf().Placeable(QRect(0, 0, 100, 100), 96), QSize(200, 100));
        QCOMPARE(At(image, 90, 30), QColor(Qt::red));
        QCOMPARE(At(image, 110, 30), QColor(Qt::white));
        QCOMPARE(At(image, 140, 70), QColor(Qt::blue));
    }

    void shouldMapTheMetafilesOwnWindowOntoThePicture()
    {
        // Standard WMF: its first window names the picture.
        build::Wmf standard;
        standard.WindowOrg(1000, 1000).WindowExt(1000, 1000);
        standard.Brush(0, Red).Select(0).Rectangle(1100, 1100, 1500, 1500);
        QImage image = Render(standard.Standard());
        QCOMPARE(At(image, 30, 30), QColor(Qt::red));
        QCOMPARE(At(image, 60, 60), QColor(Qt::white));

        // Placeable: a window set in the records overrides the bounds' units.
        build::Wmf placeable;
        placeable.WindowOrg(0, 0).WindowExt(10, 10).Pen(NullPen, 0, 0).Select(0);
        placeable.Brush(0, Blue).Select(1).Rectangle(5, 0, 10, 5);
        image = Render(placeable.Placeable(QRect(0, 0, 100, 100), 96));
        QCOMPARE(At(image, 75, 25), QColor(Qt::blue));
        QCOMPARE(At(image, 25, 25), QColor(Qt::white));
    }

    void shouldDrawLinesWithTheSelectedPen()
    {
        build::Wmf w;
        w.Pen(0, 4, Red).Select(0).MoveTo(10, 50).LineTo(90, 50);
        const QImage image = Render(w.Placeable(QRect(0, 0, 100, 100), 96));
        QCOMPARE(At(image, 50, 50), QColor(Qt::red));
        QCOMPARE(At(image, 50, 40), QColor(Qt::white));
    }

    void shouldDrawEmbeddedBitmaps_data()
    {
        QTest::addColumn<QByteArray>("data");
        const build::Dib dib = build::Dib24(build::FourColours());
        build::Wmf wmf;
        wmf.StretchDib(dib, 2, 2, 0, 0, 100, 100);
        QTest::newRow("wmf stretchdib") << wmf.Placeable(QRect(0, 0, 100, 100), 96);
        build::Wmf blt;  // DIBSTRETCHBLT: rop, source height, width, y, x, then the destination
        blt.Record(0x0B41, {0x0020, 0x00CC, 2, 2, 0, 0, 100, 100, 0, 0}, dib.packed());
        QTest::newRow("wmf dibstretchblt") << blt.Placeable(QRect(0, 0, 100, 100), 96);
        build::Emf stretch;
        stretch.StretchDib(dib, 2, 2, 0, 0, 100, 100);
        QTest::newRow("emf stretchdibits") << stretch.Build(QRect(0, 0, 2540, 2540));
        // BitBlt does not stretch: the mapping does (two logical units over the whole picture).
        build::Emf blit;
        blit.MapMode(8).WindowExt(2, 2).ViewportExt(100, 100).BitBlt(dib, 0, 0, 2, 2);
        QTest::newRow("emf bitblt") << blit.Build(QRect(0, 0, 2540, 2540));
    }
    void shouldDrawEmbeddedBitmaps()
    {
        QFETCH(QByteArray, data);
        const QImage image = Render(data);
        QCOMPARE(At(image, 25, 25), QColor(Qt::red));
        QCOMPARE(At(image, 75, 25), QColor(Qt::green));
        QCOMPARE(At(image, 25, 75), QColor(Qt::blue));
        QCOMPARE(At(image, 75, 75), QColor(Qt::yellow));
    }

    void shouldCountStretchDibSourceRowsFromTheBottom()
    {
        // One source row at y 0 is the bottom row of a bottom-up DIB: blue, yellow.
        build::Wmf w;
        w.StretchDib(build::Dib24(build::FourColours()), 2, 1, 0, 0, 100, 100);
        const QImage image = Render(w.Placeable(QRect(0, 0, 100, 100), 96));
        QCOMPARE(At(image, 25, 25), QColor(Qt::blue));
        QCOMPARE(At(image, 75, 75), QColor(Qt::yellow));
    }

    void shouldDrawAnEnhancedMetafileWithItsMapping()
    {
        build::Emf e;
        e.Pen(1, NullPen, 0, 0).Select(1).Brush(2, Red).Select(2).Rectangle(10, 10, 50, 50);
        e.MapMode(8).WindowExt(1000, 1000).ViewportExt(100, 100);
        e.Brush(3, Blue).Select(3).Ellipse(500, 500, 900, 900);
        const QImage image = Render(e.Build(QRect(0, 0, 2540, 2540)));
        QCOMPARE(At(image, 30, 30), QColor(Qt::red));
        QCOMPARE(At(image, 70, 70), QColor(Qt::blue));
        QCOMPARE(At(image, 52, 52), QColor(Qt::white));
    }

    void shouldSkipUnknownRecordsAndStopAtADamagedOne()
    {
        build::Wmf w;
        w.Pen(NullPen, 0, 0).Select(0).Brush(0, Red).Select(1);
        w.Record(0x0999, {1, 2, 3});  // no such record: skipped
        w.Rectangle(10, 10, 30, 30);
        w.Record(0x041B, {40});  // a rectangle missing its corners: drawing stops here
        w.Rectangle(60, 60, 90, 90);
        const QImage image = Render(w.Placeable(QRect(0, 0, 100, 100), 96));
        QCOMPARE(At(image, 20, 20), QColor(Qt::red));
        QCOMPARE(At(image, 75, 75), QColor(Qt::white));

        build::Emf e;
        e.Brush(1, Red).Select(1).Rectangle(10, 10, 30, 30);
        e.Raw(QByteArray::fromHex("2b000000ffff0000"));  // a size beyond the data
        e.Rectangle(60, 60, 90, 90);
        const QImage enhanced = Render(e.Build(QRect(0, 0, 2540, 2540)));
        QCOMPARE(At(enhanced, 20, 20), QColor(Qt::red));
        QCOMPARE(At(enhanced, 75, 75), QColor(Qt::white));
    }

    void shouldSurviveDamagedMetafiles()
    {
        const build::Dib dib = build::Dib24(build::FourColours());
        build::Wmf w;
        w.Pen(0, 2, Red).Select(0).Brush(0, Blue).Select(1).Rectangle(1, 1, 9, 9).Ellipse(2, 2, 8, 8);
        w.Record(0x0324, {3, 0, 0, 5, 0, 5, 5}).Record(0x0538, {2, 3, 3, 0, 0, 5, 0, 5, 5, 1, 1, 4, 1, 4, 4});
        w.StretchDib(dib, 2, 2, 0, 0, 10, 10).Delete(0).Delete(1);
        build::Emf e;
        e.Pen(1, 0, 1, Red).Select(1).Brush(2, Blue).Select(2).Rectangle(1, 1, 9, 9).Ellipse(2, 2, 8, 8);
        e.MapMode(8).WindowExt(10, 10).ViewportExt(20, 20).StretchDib(dib, 2, 2, 0, 0, 10, 10).BitBlt(dib, 0, 0, 2, 2);
        const QList<QByteArray> originals{w.Placeable(QRect(0, 0, 10, 10), 96), w.Standard(),
                                          e.Build(QRect(0, 0, 254, 254))};

        QImage image(40, 40, QImage::Format_RGB32);
        QPainter painter(&image);
        QRandomGenerator random(20261207);
        int played = 0;
        for (const QByteArray& original : originals) {
            for (qsizetype length = 0; length <= original.size(); ++length, ++played)
                PlayMetafile(painter, QRectF(0, 0, 40, 40), original.left(length));
            for (int round = 0; round < 300; ++round, ++played) {
                QByteArray damaged = original;
                for (int flips = 0; flips < 4; ++flips)
                    damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
                PlayMetafile(painter, QRectF(0, 0, 40, 40), damaged);
            }
        }
        QVERIFY(played > 900);
    }

    void shouldNotDrawOutsideTheTarget()
    {
        build::Wmf w;
        w.Brush(0, Red).Select(0).Rectangle(-50, -50, 150, 150);
        TMetafile metafile;
        metafile.LoadFromBytes(w.Placeable(QRect(0, 0, 100, 100), 96));
        QImage image(120, 120, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        metafile.Draw(painter, QRect(10, 10, 100, 100));
        painter.end();
        QCOMPARE(At(image, 50, 50), QColor(Qt::red));
        QCOMPARE(At(image, 5, 5), QColor(Qt::white));
        QCOMPARE(At(image, 115, 115), QColor(Qt::white));
    }
};

QTEST_MAIN(MetafileTest)
#include "test_metafile.moc"
