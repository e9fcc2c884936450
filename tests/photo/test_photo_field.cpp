// Photos stored into and shown from a record's jpg column, on a real database file.

#include "photo/Graphics.h"
#include "photo/ImageBox.h"
#include "photo/JpegCodec.h"
#include "photo/PhotoField.h"
#include "photo/Placeholder.h"
#include "platform/Errors.h"
#include "store/ADODB.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "tests/photo/JpegSamples.h"
#include "tests/support/ContactBook.h"
#include "tests/support/TestFolder.h"

#include <QtTest>

namespace {

const QString& Jpg = PhotoColumn();

// Appends a contact and makes it current.
void add(ContactBook& book, const QString& name)
{
    book.query.AppendRecord({QStringLiteral("朋友"), name});
}

// The photo as the file holds it, read through a query of its own.
QVariant storedPhoto(ContactBook& book, const QString& name)
{
    TADOQuery reader(QStringLiteral("reader"));
    reader.Connection = &book.connection;
    reader.SQL = QStringList{QStringLiteral("select * from ") + ContactSchema::ContactTable()};
    reader.Open();
    for (reader.First(); !reader.Eof(); reader.Next())
        if (reader.FieldByName(ContactTextColumn(ContactText::Name))->AsString().trimmed() == name) {
            TField* photo = reader.FieldByName(Jpg);
            return photo->IsNull() ? QVariant() : QVariant(photo->AsBytes());
        }
    return QVariant(QStringLiteral("no such record"));
}

std::unique_ptr<TGraphic> JpegPicture(const QByteArray& bytes)
{
    auto jpeg = std::make_unique<TJPEGImage>();
    jpeg->LoadFromBytes(bytes);
    return jpeg;
}

std::unique_ptr<TGraphic> BitmapPicture(const QImage& image)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->Image = image;
    return bitmap;
}

}  // namespace

class PhotoFieldTest : public QObject {
    Q_OBJECT
private slots:
    void shouldStoreBitmapAsBaselineColourJpegOfQuality90()
    {
        ContactBook book;
        add(book, QStringLiteral("张三"));
        const QImage image = samples::Quarters(50, 40);
        TImage box;
        box.SetPicture(BitmapPicture(image));

        QVERIFY(SavePhotoToField(&box, Jpg, book.query));

        const QByteArray stored = storedPhoto(book, QStringLiteral("张三")).toByteArray();
        QCOMPARE(stored, CompressJpeg(image));  // our quality-90 baseline encoding of the same pixels
        const samples::JpegLayout layout = samples::ReadLayout(stored);
        QCOMPARE(layout.frameMarkers, QList<int>{0xC0});
        QCOMPARE(layout.components, 3);
        QCOMPARE(layout.scans, 1);
        const JpegHeader header = ReadJpegHeader(stored);
        QCOMPARE(QSize(header.Width, header.Height), QSize(50, 40));
        QCOMPARE(book.query.State(), TADOQuery::dsBrowse);
        QVERIFY(box.Picture());  // emptying the box is the command's business
    }

    void shouldStoreJpegPictureByteForByte_data()
    {
        QTest::addColumn<QByteArray>("jpeg");
        QTest::newRow("progressive with data after the end marker") << samples::Fixture("progressive.jpg");
        QTest::newRow("grey scale") << samples::Fixture("grey.jpg");
        QTest::newRow("start-up picture") << PlaceholderBytes();
    }

    void shouldStoreJpegPictureByteForByte()
    {
        QFETCH(QByteArray, jpeg);
        ContactBook book;
        add(book, QStringLiteral("李四"));
        TImage box;
        box.SetPicture(JpegPicture(jpeg));

        QVERIFY(SavePhotoToField(&box, Jpg, book.query));
        QCOMPARE(storedPhoto(book, QStringLiteral("李四")).toByteArray(), jpeg);

        // Shown by a row click and stored again by a change: still the same bytes.
        TImage shown;
        QVERIFY(LoadPhotoFromField(&shown, Jpg, book.query));
        add(book, QStringLiteral("王五"));
        QVERIFY(SavePhotoToField(&shown, Jpg, book.query));
        QCOMPARE(storedPhoto(book, QStringLiteral("王五")).toByteArray(), jpeg);
    }

    void shouldRefuseIconOrMetafileBeforeTouchingRecord_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("icon") << QStringLiteral("TIcon");
        QTest::newRow("metafile") << QStringLiteral("TMetafile");
    }

    void shouldRefuseIconOrMetafileBeforeTouchingRecord()
    {
        QFETCH(QString, kind);
        ContactBook book;
        add(book, QStringLiteral("赵六"));
        TImage box;
        box.SetPicture(JpegPicture(PlaceholderBytes()));
        QVERIFY(SavePhotoToField(&box, Jpg, book.query));

        box.SetPicture(kind == QLatin1String("TIcon") ? std::unique_ptr<TGraphic>(std::make_unique<TIcon>())
                                                      : std::make_unique<TMetafile>());
        const QString message = QStringLiteral("不能指派一个 %1 给一个 TJPEGImage").arg(kind);
        try {
            CheckPhotoStorable(&box);
            QFAIL("the guard let it pass");
        } catch (const EConvertError& e) {
            QCOMPARE(e.Message, message);
        }
        try {
            SavePhotoToField(&box, Jpg, book.query);
            QFAIL("stored");
        } catch (const EConvertError& e) {
            QCOMPARE(e.Message, message);
        }
        QCOMPARE(book.query.State(), TADOQuery::dsBrowse);
        QCOMPARE(storedPhoto(book, QStringLiteral("赵六")).toByteArray(), PlaceholderBytes());
        QCOMPARE(box.Picture()->ClassName(), kind);
    }

    // A bitmap the library cannot encode (JPEG sides end at 65500) fails before
    // the record is put into edit state.
    void shouldPassCompressionFailureOutWithRecordUntouched()
    {
        ContactBook book;
        add(book, QStringLiteral("钱二"));
        TImage box;
        QImage tooWide(70000, 1, QImage::Format_RGB32);
        tooWide.fill(Qt::gray);
        box.SetPicture(BitmapPicture(tooWide));
        try {
            SavePhotoToField(&box, Jpg, book.query);
            QFAIL("stored");
        } catch (const EJPEG& e) {
            QVERIFY2(QRegularExpression(QStringLiteral("^JPEG error #\\d+$")).match(e.Message).hasMatch(),
                     qPrintable(e.Message));
        }
        QCOMPARE(book.query.State(), TADOQuery::dsBrowse);
        QCOMPARE(storedPhoto(book, QStringLiteral("钱二")), QVariant());
    }

    void shouldLetStorablePicturesPassTheGuard()
    {
        TImage box;
        CheckPhotoStorable(&box);
        box.SetPicture(BitmapPicture(samples::Quarters(4, 4)));
        CheckPhotoStorable(&box);
        box.SetPicture(JpegPicture(PlaceholderBytes()));
        CheckPhotoStorable(&box);
    }

    void shouldLeaveRecordAloneWhenBoxIsEmpty()
    {
        ContactBook book;
        add(book, QStringLiteral("孙七"));
        TImage box;
        QVERIFY(!SavePhotoToField(&box, Jpg, book.query));
        QCOMPARE(book.query.State(), TADOQuery::dsBrowse);
        QCOMPARE(storedPhoto(book, QStringLiteral("孙七")), QVariant());
    }

    // Zero bytes are an empty value, not null; shown again they give an empty
    // JPEG picture, which a change stores again as zero bytes.
    void shouldStoreEmptyValueForBitmapWithoutPixels()
    {
        ContactBook book;
        add(book, QStringLiteral("周八"));
        TImage box;
        box.SetPicture(BitmapPicture(QImage()));
        QVERIFY(SavePhotoToField(&box, Jpg, book.query));
        const QVariant stored = storedPhoto(book, QStringLiteral("周八"));
        QVERIFY(stored.isValid());
        QCOMPARE(stored.toByteArray(), QByteArray());

        TImage shown;
        QVERIFY(LoadPhotoFromField(&shown, Jpg, book.query));
        QVERIFY(shown.Picture());
        QCOMPARE(shown.Picture()->ClassName(), QStringLiteral("TJPEGImage"));
        QVERIFY(shown.Picture()->Empty());
        QVERIFY(SavePhotoToField(&shown, Jpg, book.query));
        QCOMPARE(storedPhoto(book, QStringLiteral("周八")), QVariant(QByteArray()));
    }

    void shouldShowStoredPhotoAsJpegPicture()
    {
        ContactBook book;
        add(book, QStringLiteral("吴九"));
        TImage box;
        box.SetPicture(JpegPicture(samples::Fixture("progressive.jpg")));
        QVERIFY(SavePhotoToField(&box, Jpg, book.query));

        TImage shown;
        shown.SetPicture(BitmapPicture(samples::Quarters(3, 3)));
        QVERIFY(LoadPhotoFromField(&shown, Jpg, book.query));
        auto* jpeg = dynamic_cast<TJPEGImage*>(shown.Picture());
        QVERIFY(jpeg);
        QCOMPARE(jpeg->Data, samples::Fixture("progressive.jpg"));
        QCOMPARE(QSize(jpeg->Width(), jpeg->Height()), QSize(40, 53));
        QVERIFY(jpeg->ProgressiveEncoding);
    }

    // Whatever goes wrong, the box ends empty: it must never keep the photo of
    // another record, which a following change would store over this one.
    void shouldEmptyBoxWhenPhotoCannotBeShown_data()
    {
        QTest::addColumn<QVariant>("stored");  // null QVariant: the column stays null
        QTest::addColumn<QString>("column");
        QTest::addColumn<bool>("result");
        QTest::newRow("null photo") << QVariant() << Jpg << true;
        QTest::newRow("not JPEG data") << QVariant(QByteArray("GIF89a and so on")) << Jpg << false;
        QTest::newRow("bitmap file") << QVariant(QByteArray("BM").append(QByteArray(60, '\0'))) << Jpg << false;
        QTest::newRow("start marker only") << QVariant(QByteArray("\xFF\xD8", 2)) << Jpg << false;
        QTest::newRow("text column") << QVariant() << QStringLiteral("姓名") << false;
        QTest::newRow("no such column") << QVariant() << QStringLiteral("照片") << false;
    }

    void shouldEmptyBoxWhenPhotoCannotBeShown()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, column);
        QFETCH(bool, result);
        ContactBook book;
        add(book, QStringLiteral("郑十"));
        if (stored.isValid()) {
            book.query.Edit();
            book.query.FieldByName(Jpg)->SetAsBytes(stored.toByteArray());
            book.query.Post();
        }
        TImage box;
        box.SetPicture(JpegPicture(PlaceholderBytes()));  // the photo of the row clicked before

        QCOMPARE(LoadPhotoFromField(&box, column, book.query), result);
        QVERIFY(!box.Picture());
        QCOMPARE(book.query.State(), TADOQuery::dsBrowse);
        QCOMPARE(storedPhoto(book, QStringLiteral("郑十")), stored.isValid() ? stored : QVariant());
    }
};

QTEST_MAIN(PhotoFieldTest)
#include "test_photo_field.moc"
