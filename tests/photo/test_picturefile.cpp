// Loading a picture file into the photo box: the kind by extension, every failure
// with its message, and the box keeping its picture when the load fails.

#include "photo/ImageBox.h"
#include "photo/PictureFile.h"
#include "platform/Errors.h"
#include "tests/photo/MetafileBuilders.h"
#include "tests/support/EncodedImage.h"
#include "tests/support/TestFolder.h"

#include <QApplication>
#include <QFile>
#include <QtTest>

namespace {

QByteArray Encoded(const char* format, QSize size = QSize(8, 6))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return Encoded(image, format);
}

// The libjpeg message number for "Not a JPEG file".
constexpr int JpegErrorNoSoi = 53;

}  // namespace

class PictureFileTest : public QObject {
    Q_OBJECT

    TestFolder folder_;

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = folder_.path() + u'/' + name;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void shouldTakeTheExtensionAfterTheLastDot_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extension");
        QTest::newRow("plain") << "/tmp/photo.jpg"
                               << "jpg";
        QTest::newRow("two dots") << "/tmp/photo.old.BMP"
                                  << "BMP";
        QTest::newRow("dot in folder only") << "/tmp/v1.2/photo"
                                            << "";
        QTest::newRow("dot in folder and name") << "/tmp/v1.2/photo.ico"
                                                << "ico";
        QTest::newRow("trailing dot") << "/tmp/photo."
                                      << "";
        QTest::newRow("none") << "photo"
                              << "";
    }
    void shouldTakeTheExtensionAfterTheLastDot()
    {
        QFETCH(QString, name);
        QFETCH(QString, extension);
        QCOMPARE(PictureFileExtension(name), extension);
    }

    void shouldLoadEachKindByExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QSize>("size");
        QTest::newRow("upper-case JPG") << "PHOTO.JPG" << Encoded("JPG") << "TJPEGImage" << QSize(8, 6);
        QTest::newRow("jpeg") << "photo.jpeg" << Encoded("JPG") << "TJPEGImage" << QSize(8, 6);
        QTest::newRow("bmp") << "photo.Bmp" << Encoded("BMP") << "TBitmap" << QSize(8, 6);
        QTest::newRow("ico") << "photo.ico" << Encoded("ICO", QSize(16, 16)) << "TIcon" << QSize(16, 16);
        build::Wmf w;
        w.Rectangle(0, 0, 10, 10);
        QTest::newRow("wmf") << "photo.wmf" << w.Placeable(QRect(0, 0, 40, 30), 96) << "TMetafile" << QSize(40, 30);
        QTest::newRow("emf") << "photo.emf" << build::Emf().Build(QRect(0, 0, 2540, 2540)) << "TMetafile"
                             << QSize(96, 96);
        // The content decides between the two metafile formats, the name between the kinds.
        QTest::newRow("emf named wmf") << "other.wmf" << build::Emf().Build(QRect(0, 0, 2540, 2540)) << "TMetafile"
                                       << QSize(96, 96);
    }
    void shouldLoadEachKindByExtension()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, kind);
        QFETCH(QSize, size);
        TImage box;
        LoadPictureFromFile(&box, Write(name, bytes));
        QVERIFY(box.Picture());
        QCOMPARE(box.Picture()->ClassName(), kind);
        QCOMPARE(QSize(box.Picture()->Width(), box.Picture()->Height()), size);
    }

    void shouldKeepEveryByteOfAJpegFile()
    {
        const QByteArray bytes = Encoded("JPG") + QByteArray("trailing data after the end marker");
        TImage box;
        LoadPictureFromFile(&box, Write("kept.jpg", bytes));
        auto* jpeg = dynamic_cast<TJPEGImage*>(box.Picture());
        QVERIFY(jpeg);
        QCOMPARE(jpeg->Data, bytes);
    }

    void shouldLoadEmptyBitmapAndJpegFilesAsEmptyPictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::newRow("bmp") << "empty.bmp"
                             << "TBitmap";
        QTest::newRow("jpg") << "empty.jpg"
                             << "TJPEGImage";
    }
    void shouldLoadEmptyBitmapAndJpegFilesAsEmptyPictures()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        TImage box;
        LoadPictureFromFile(&box, Write(name, QByteArray()));
        QVERIFY(box.Picture());
        QCOMPARE(box.Picture()->ClassName(), kind);
        QVERIFY(box.Picture()->Empty());
    }

    void shouldFailWithTheKindsMessage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QString shortRead = QStringLiteral("读流发生错误");
        QByteArray badIconType = QByteArray::fromHex("000002000100");
        QByteArray noIcons = QByteArray::fromHex("000001000000");
        QByteArray brokenIcon = QByteArray::fromHex("000001000100") + QByteArray(16, '\x7f') + QByteArray(40, 'x');
        QTest::newRow("unknown extension") << "notes.TxT" << QByteArray("text") << "未知的图象文件扩展名 (.TxT)";
        QTest::newRow("no extension") << "photo" << Encoded("JPG") << "未知的图象文件扩展名 (.)";
        QTest::newRow("short bmp") << "short.bmp" << QByteArray("BM1234") << shortRead;
        QTest::newRow("short ico") << "short.ico" << QByteArray("\0\0\1", 3) << shortRead;
        QTest::newRow("empty ico") << "empty.ico" << QByteArray() << shortRead;
        QTest::newRow("short wmf") << "short.wmf" << QByteArray("\1\0\x09\0\0\3", 6) << shortRead;
        QTest::newRow("short emf") << "short.emf" << build::Emf().Build(QRect(0, 0, 9, 9)).left(40) << shortRead;
        QTest::newRow("jpeg named bmp") << "photo.bmp" << Encoded("JPG") << "位图图象无效";
        QTest::newRow("bmp named jpg") << "photo.jpg" << Encoded("BMP")
                                       << QStringLiteral("JPEG error #%1").arg(JpegErrorNoSoi);
        QTest::newRow("icon of type 2") << "cursor.ico" << badIconType << "图标图象无效";
        QTest::newRow("icon with no images") << "none.ico" << noIcons << "图标图象无效";
        QTest::newRow("icon data broken") << "broken.ico" << brokenIcon << "图标图象无效";
        QTest::newRow("bmp named ico") << "photo.ico" << Encoded("BMP") << "图标图象无效";
        QTest::newRow("empty wmf") << "empty.wmf" << QByteArray() << "元文件无效";
        QTest::newRow("text named wmf") << "notes.wmf" << QByteArray("plain words, not a metafile at all")
                                        << "元文件无效";
        QTest::newRow("jpeg named emf") << "photo.emf" << Encoded("JPG") << "元文件无效";
    }
    void shouldFailWithTheKindsMessage()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        TImage box;
        try {
            LoadPictureFromFile(&box, Write(name, bytes));
            QFAIL("loaded");
        } catch (const Exception& e) {
            QCOMPARE(e.Message, message);
        }
        QVERIFY(!box.Picture());
    }

    void shouldRaiseTheFrameworksErrorKinds()
    {
        TImage box;
        QVERIFY_THROWS_EXCEPTION(EInvalidGraphic, LoadPictureFromFile(&box, Write("a.txt", "x")));
        QVERIFY_THROWS_EXCEPTION(EReadError, LoadPictureFromFile(&box, Write("b.bmp", "BM")));
        QVERIFY_THROWS_EXCEPTION(EJPEG, LoadPictureFromFile(&box, Write("c.jpg", "not jpeg")));
        QVERIFY_THROWS_EXCEPTION(EFOpenError, LoadPictureFromFile(&box, folder_.path() + "/missing.jpg"));
    }

    void shouldNameTheFileThatCannotBeOpened()
    {
        const QString missing = folder_.path() + "/missing.jpg";
        const QString folderNamedJpg = folder_.path() + "/folder.jpg";
        QDir().mkpath(folderNamedJpg);
        for (const QString& name : {missing, folderNamedJpg}) {
            TImage box;
            try {
                LoadPictureFromFile(&box, name);
                QFAIL("loaded");
            } catch (const EFOpenError& e) {
                QCOMPARE(e.Message, QStringLiteral("不能打开文件 %1").arg(name));
            }
        }
    }

    void shouldKeepTheEarlierPictureWhenALoadFails()
    {
        TImage box;
        LoadPictureFromFile(&box, Write("first.jpg", Encoded("JPG")));
        const TGraphic* earlier = box.Picture();
        const QByteArray earlierBytes = static_cast<const TJPEGImage*>(earlier)->Data;
        for (const QString& bad : {Write("bad.bmp", Encoded("JPG")), Write("bad.txt", "x"),
                                   folder_.path() + "/gone.ico", Write("bad.jpg", "BM not a jpeg")}) {
            QVERIFY_THROWS_EXCEPTION(Exception, LoadPictureFromFile(&box, bad));
            QCOMPARE(box.Picture(), earlier);
            QCOMPARE(static_cast<const TJPEGImage*>(box.Picture())->Data, earlierBytes);
        }
        LoadPictureFromFile(&box, Write("second.bmp", Encoded("BMP")));
        QCOMPARE(box.Picture()->ClassName(), QStringLiteral("TBitmap"));
    }
};

QTEST_MAIN(PictureFileTest)
#include "test_picturefile.moc"
