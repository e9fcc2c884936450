// The photo box draws its picture stretched and never lets a bad picture out of paint.

#include "photo/Graphics.h"
#include "photo/ImageBox.h"
#include "photo/JpegCodec.h"
#include "photo/Placeholder.h"
#include "tests/photo/JpegSamples.h"

#include <QtTest>

namespace {

const QColor Backdrop(255, 0, 255);

// Paints the box (141 x 141, as in the window) onto a backdrop colour.
QImage Paint(TImage& box)
{
    box.resize(141, 141);
    QImage canvas(box.size(), QImage::Format_RGB32);
    canvas.fill(Backdrop);
    box.render(&canvas, QPoint(), QRegion(), QWidget::RenderFlags());
    return canvas;
}

bool Untouched(const QImage& canvas)
{
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.pixelColor(x, y) != Backdrop)
                return false;
    return true;
}

bool Near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40
           && std::abs(a.blue() - b.blue()) < 40;
}

QByteArray OurJpeg(const QImage& image)
{
    return CompressJpeg(image);
}

void PutBigEndian16(QByteArray& bytes, qsizetype at, int value)
{
    bytes[at] = static_cast<char>(value >> 8);
    bytes[at + 1] = static_cast<char>(value & 0xFF);
}

}  // namespace

class PhotoBoxTest : public QObject {
    Q_OBJECT
private slots:
    // A wide picture fills the square box: no aspect ratio kept, no margins.
    void shouldStretchPictureOverWholeBox_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("bitmap") << QStringLiteral("TBitmap");
        QTest::newRow("jpeg") << QStringLiteral("TJPEGImage");
    }

    void shouldStretchPictureOverWholeBox()
    {
        QFETCH(QString, kind);
        const QImage wide = samples::Quarters(80, 16);
        TImage box;
        if (kind == QLatin1String("TBitmap")) {
            auto bitmap = std::make_unique<TBitmap>();
            bitmap->Image = wide;
            box.SetPicture(std::move(bitmap));
        } else {
            auto jpeg = std::make_unique<TJPEGImage>();
            jpeg->LoadFromBytes(OurJpeg(wide));
            box.SetPicture(std::move(jpeg));
        }
        const QImage canvas = Paint(box);
        QVERIFY(Near(canvas.pixelColor(3, 3), Qt::red));
        QVERIFY(Near(canvas.pixelColor(137, 3), Qt::blue));
        QVERIFY(Near(canvas.pixelColor(3, 137), Qt::green));
        QVERIFY(Near(canvas.pixelColor(137, 137), Qt::yellow));
    }

    void shouldDrawNothingWhenEmpty()
    {
        TImage box;
        QVERIFY(Untouched(Paint(box)));
        auto jpeg = std::make_unique<TJPEGImage>();
        jpeg->LoadFromBytes(OurJpeg(samples::Quarters(8, 8)));
        box.SetPicture(std::move(jpeg));
        box.Clear();
        QVERIFY(!box.Picture());
        QVERIFY(Untouched(Paint(box)));
    }

    // Pictures whose header reads but whose pixels cannot be decoded (or must
    // not be, for their size) leave the box blank, and nothing escapes paint.
    void shouldDrawNothingForPictureThatCannotBeDecoded_data()
    {
        QTest::addColumn<QByteArray>("jpeg");
        const QByteArray good = OurJpeg(samples::Quarters(16, 16));

        QByteArray noQuantTable = good;
        const qsizetype frame = samples::MarkerBody(good, 0xC0);
        noQuantTable[frame + 6 + 2] = 3;  // first component uses a table never defined
        QTest::newRow("undefined quantisation table") << noQuantTable;

        QByteArray noHuffmanTable = good;
        const qsizetype scan = samples::MarkerBody(good, 0xDA);
        noHuffmanTable[scan + 1 + 1] = 0x33;  // first component uses Huffman tables never defined
        QTest::newRow("undefined Huffman tables") << noHuffmanTable;

        QTest::newRow("cmyk") << samples::Fixture("cmyk.jpg");

        QByteArray huge = good;
        PutBigEndian16(huge, frame + 1, 20000);  // height
        PutBigEndian16(huge, frame + 3, 20000);  // width: 400 million pixels
        QTest::newRow("beyond the pixel bound") << huge;
    }

    void shouldDrawNothingForPictureThatCannotBeDecoded()
    {
        QFETCH(QByteArray, jpeg);
        auto picture = std::make_unique<TJPEGImage>();
        picture->LoadFromBytes(jpeg);  // the header itself is fine
        TImage box;
        box.SetPicture(std::move(picture));
        QVERIFY(Untouched(Paint(box)));
        QVERIFY(Untouched(Paint(box)));  // the failed decode is remembered, not retried into an error
    }

    void shouldStartWithOurBaselineColourPlaceholder()
    {
        const QByteArray bytes = PlaceholderBytes();
        const samples::JpegLayout layout = samples::ReadLayout(bytes);
        QCOMPARE(layout.frameMarkers, QList<int>{0xC0});
        QCOMPARE(layout.components, 3);
        QCOMPARE(layout.scans, 1);

        const std::unique_ptr<TJPEGImage> picture = PlaceholderPicture();
        QCOMPARE(picture->Width(), 188);
        QCOMPARE(picture->Height(), 250);
        QVERIFY(!picture->Grayscale);
        QVERIFY(!picture->ProgressiveEncoding);
        QCOMPARE(picture->SaveToBytes(), bytes);  // stored byte for byte, never re-encoded

        TImage box;
        box.SetPicture(PlaceholderPicture());
        const QImage canvas = Paint(box);
        QVERIFY(canvas.pixelColor(0, 0) != Backdrop);
        QVERIFY(canvas.pixelColor(140, 140) != Backdrop);
        const QColor paper = canvas.pixelColor(20, 130);
        QVERIFY2(paper.red() > paper.blue() + 20, "sepia, not grey");
    }
};

QTEST_MAIN(PhotoBoxTest)
#include "test_photo_box.moc"
