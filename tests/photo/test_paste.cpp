// Pasting a picture from the clipboard: a bitmap replaces any picture, a metafile
// only a metafile, and every failure is answered with false and nothing shown.

#include "photo/Graphics.h"
#include "photo/ImageBox.h"
#include "photo/PastePhoto.h"
#include "tests/photo/MetafileBuilders.h"
#include "tests/support/EncodedImage.h"
#include "tests/support/ScriptedDesktop.h"

#include <QApplication>
#include <QtTest>

namespace {

enum class Kind { None, Bitmap, Icon, Metafile, Jpeg };

QByteArray Encoded(const char* format)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    return Encoded(image, format);
}

QByteArray BoxEmf()
{
    return build::Emf().Rectangle(0, 0, 5, 5).Build(QRect(0, 0, 1000, 1000));
}

QByteArray ClipboardEmf()
{
    return build::Emf().Ellipse(0, 0, 50, 50).Build(QRect(0, 0, 2540, 2540));
}

std::unique_ptr<TGraphic> Picture(Kind kind)
{
    switch (kind) {
    case Kind::None: return nullptr;
    case Kind::Bitmap: {
        auto b = std::make_unique<TBitmap>();
        b->Image = QImage(3, 3, QImage::Format_RGB32);
        b->Image.fill(Qt::blue);
        return b;
    }
    case Kind::Icon: {
        auto i = std::make_unique<TIcon>();
        i->LoadFromBytes(Encoded("ICO"));
        return i;
    }
    case Kind::Metafile: {
        auto m = std::make_unique<TMetafile>();
        m->LoadFromBytes(BoxEmf());
        return m;
    }
    case Kind::Jpeg: {
        auto j = std::make_unique<TJPEGImage>();
        j->LoadFromBytes(Encoded("JPG"));
        return j;
    }
    }
    return nullptr;
}

QImage ClipboardImage()
{
    QImage image(5, 4, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    return image;
}

}  // namespace

Q_DECLARE_METATYPE(Kind)

class PasteTest : public QObject {
    Q_OBJECT

private slots:
    void shouldReplaceAnyPictureByAClipboardBitmap_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("metafileToo");
        for (auto [name, kind] : {std::pair{"none", Kind::None},
                                  {"bitmap", Kind::Bitmap},
                                  {"icon", Kind::Icon},
                                  {"metafile", Kind::Metafile},
                                  {"jpeg", Kind::Jpeg}}) {
            QTest::addRow("%s", name) << kind << false;
            QTest::addRow("%s, metafile besides", name) << kind << true;
        }
    }
    void shouldReplaceAnyPictureByAClipboardBitmap()
    {
        QFETCH(Kind, kind);
        QFETCH(bool, metafileToo);
        ScriptedDesktop desk;
        desk.clipboard->setImageData(ClipboardImage());
        if (metafileToo)
            desk.clipboard->setData("image/x-emf", ClipboardEmf());
        TImage box;
        box.SetPicture(Picture(kind));

        QVERIFY(PastePhoto(&box));
        auto* bitmap = dynamic_cast<TBitmap*>(box.Picture());
        QVERIFY(bitmap);
        QCOMPARE(bitmap->Image.size(), QSize(5, 4));
        QCOMPARE(QColor(bitmap->Image.pixel(2, 2)), QColor(Qt::magenta));
        QVERIFY(desk.boxes.isEmpty());

        // The box has its own copy.
        desk.clipboard->setImageData(QImage());
        QCOMPARE(QColor(bitmap->Image.pixel(2, 2)), QColor(Qt::magenta));
    }

    void shouldTakeAClipboardMetafileOnlyIntoAMetafile_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("result");
        QTest::newRow("metafile") << Kind::Metafile << true;
        QTest::newRow("bitmap") << Kind::Bitmap << false;
        QTest::newRow("icon") << Kind::Icon << false;
        QTest::newRow("jpeg") << Kind::Jpeg << false;
        QTest::newRow("none") << Kind::None << false;
    }
    void shouldTakeAClipboardMetafileOnlyIntoAMetafile()
    {
        QFETCH(Kind, kind);
        QFETCH(bool, result);
        ScriptedDesktop desk;
        desk.clipboard->setData("image/x-emf", ClipboardEmf());
        TImage box;
        box.SetPicture(Picture(kind));
        const TGraphic* before = box.Picture();

        QCOMPARE(PastePhoto(&box), result);
        QVERIFY(desk.boxes.isEmpty());
        if (kind == Kind::Metafile) {
            auto* metafile = dynamic_cast<TMetafile*>(box.Picture());
            QVERIFY(metafile);
            QCOMPARE(metafile->Data, ClipboardEmf());
            QVERIFY(metafile->Enhanced);
        } else {
            QCOMPARE(box.Picture(), before);
        }
    }

    void shouldKeepAMetafileWhenTheClipboardHasNoUsableEnhancedMetafile_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("windows metafile only") << "image/x-wmf" << build::Wmf().Placeable(QRect(0, 0, 9, 9), 96);
        QTest::newRow("our picture format only") << PictureClipboardFormat << QByteArray("x");
        QTest::newRow("damaged emf") << "image/x-emf" << QByteArray("not an enhanced metafile at all, no");
    }
    void shouldKeepAMetafileWhenTheClipboardHasNoUsableEnhancedMetafile()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, bytes);
        ScriptedDesktop desk;
        desk.clipboard->setData(format, bytes);
        TImage box;
        box.SetPicture(Picture(Kind::Metafile));
        const TGraphic* before = box.Picture();
        QVERIFY(!PastePhoto(&box));
        QCOMPARE(box.Picture(), before);
        QCOMPARE(static_cast<const TMetafile*>(box.Picture())->Data, BoxEmf());
    }

    void shouldChangeNothingWithoutAPicture_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("withText");
        for (auto [name, kind] : {std::pair{"none", Kind::None},
                                  {"bitmap", Kind::Bitmap},
                                  {"icon", Kind::Icon},
                                  {"metafile", Kind::Metafile},
                                  {"jpeg", Kind::Jpeg}}) {
            QTest::addRow("%s, empty clipboard", name) << kind << false;
            QTest::addRow("%s, text only", name) << kind << true;
        }
    }
    void shouldChangeNothingWithoutAPicture()
    {
        QFETCH(Kind, kind);
        QFETCH(bool, withText);
        ScriptedDesktop desk;
        if (withText)
            desk.clipboard->setText(QStringLiteral("张三\t13800000000"));
        TImage box;
        box.SetPicture(Picture(kind));
        const TGraphic* before = box.Picture();
        QVERIFY(PastePhoto(&box));
        QCOMPARE(box.Picture(), before);
        QVERIFY(desk.boxes.isEmpty());
    }

    void shouldAnswerFalseWhenTheClipboardCannotBeOpened()
    {
        ScriptedDesktop desk;
        desk.clipboard->setImageData(ClipboardImage());
        desk.clipboardFails = true;
        TImage box;
        box.SetPicture(Picture(Kind::Jpeg));
        const TGraphic* before = box.Picture();
        QVERIFY(!PastePhoto(&box));
        QCOMPARE(box.Picture(), before);
        QVERIFY(desk.boxes.isEmpty());
    }

    void shouldTellBitmapsFromMetafiles()
    {
        QMimeData emfOnly;
        emfOnly.setData("image/x-emf", ClipboardEmf());
        QVERIFY(!ClipboardHasBitmap(emfOnly));
        QVERIFY(ClipboardHasPicture(emfOnly));
        QMimeData png;
        png.setData("image/png", Encoded("PNG"));
        png.setImageData(ClipboardImage());
        QVERIFY(ClipboardHasBitmap(png));
        QMimeData text;
        text.setText("x");
        QVERIFY(!ClipboardHasBitmap(text));
        QVERIFY(!ClipboardHasPicture(text));
    }
};

QTEST_MAIN(PasteTest)
#include "test_paste.moc"
