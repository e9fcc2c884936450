// The picture file formats, the dialog's filter built from them, and the
// open-picture dialog offering exactly those choices, each matching its files.

#include "photo/PictureDialog.h"
#include "photo/PictureFile.h"
#include "photo/PictureFormats.h"
#include "photo/PicturePreview.h"
#include "tests/support/TestFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QListView>
#include <QToolButton>
#include <QtTest>

namespace {

const QStringList ShownChoices{
    QStringLiteral("全部 (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)"),
    QStringLiteral("JPEG Image File (*.jpg)"),
    QStringLiteral("JPEG Image File (*.jpeg)"),
    QStringLiteral("位图 (*.bmp)"),
    QStringLiteral("图标 (*.ico)"),
    QStringLiteral("扩展元文件 (*.emf)"),
    QStringLiteral("元文件 (*.wmf)"),
};

QStringList Listed(const QFileDialog& dialog)
{
    const auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    if (!view || !view->model())
        return names;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row)
        names.append(view->model()->index(row, 0, root).data().toString());
    names.sort();
    return names;
}

}  // namespace

class FormatsTest : public QObject {
    Q_OBJECT

private slots:
    void shouldListTheFormatsInRegistrationOrder()
    {
        QStringList seen;
        for (const PictureFileFormat& f : PictureFileFormats())
            seen.append(f.extension + u'=' + f.description);
        QCOMPARE(seen, QStringList({"wmf=元文件", "emf=扩展元文件", "ico=图标", "bmp=位图", "jpeg=JPEG Image File",
                                    "jpg=JPEG Image File"}));
    }

    void shouldBuildTheFilterFromTheLastFormatToTheFirst()
    {
        QCOMPARE(PictureDialogFilter(),
                 QStringLiteral("全部 (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)|*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf|"
                                "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|位图 (*.bmp)|*.bmp|"
                                "图标 (*.ico)|*.ico|扩展元文件 (*.emf)|*.emf|元文件 (*.wmf)|*.wmf"));
        // One format alone offers no "全部".
        QCOMPARE(BuildPictureFilter({{"bmp", "位图", PictureKind::Bitmap}}), QStringLiteral("位图 (*.bmp)|*.bmp"));
        QCOMPARE(BuildPictureFilter({}), QString());
    }

    void shouldFindTheKindIgnoringCase_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("kind");
        QTest::newRow("JPG") << "JPG"
                             << "TJPEGImage";
        QTest::newRow("Jpeg") << "Jpeg"
                              << "TJPEGImage";
        QTest::newRow("bmp") << "bmp"
                             << "TBitmap";
        QTest::newRow("ICO") << "ICO"
                             << "TIcon";
        QTest::newRow("Emf") << "Emf"
                             << "TMetafile";
        QTest::newRow("wmf") << "wmf"
                             << "TMetafile";
        QTest::newRow("txt") << "txt"
                             << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("jp") << "jp"
                            << "";
    }
    void shouldFindTheKindIgnoringCase()
    {
        QFETCH(QString, extension);
        QFETCH(QString, kind);
        const PictureFileFormat* format = FindPictureFileFormat(extension);
        QCOMPARE(format ? NewPicture(format->kind)->ClassName() : QString(), kind);
    }

    void shouldLetTheLastRegisteredFormatWin()
    {
        const QList<PictureFileFormat> formats{{"pic", "first", PictureKind::Bitmap},
                                               {"PIC", "second", PictureKind::Icon}};
        QCOMPARE(FindPictureFileFormat(formats, "Pic")->description, QStringLiteral("second"));
        QCOMPARE(FindPictureFileFormat(PictureFileExtension("PHOTO.JPG"))->extension, QStringLiteral("jpg"));
    }

    void shouldOfferTheSevenChoicesAsWritten()
    {
        TOpenPictureDialog dialog(nullptr, PictureDialogFilter());
        QCOMPARE(dialog.nameFilters(), ShownChoices);
        QCOMPARE(dialog.selectedNameFilter(), ShownChoices.first());
        QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
        QVERIFY(!dialog.testOption(QFileDialog::HideNameFilterDetails));
        QCOMPARE(dialog.fileMode(), QFileDialog::AnyFile);
        QCOMPARE(dialog.defaultSuffix(), QString());
        QVERIFY(dialog.isSizeGripEnabled());
        QCOMPARE(dialog.Choices().size(), 7);
        QCOMPARE(dialog.Choices().first().patterns,
                 QStringList({"*.jpg", "*.jpeg", "*.bmp", "*.ico", "*.emf", "*.wmf"}));
    }

    void shouldMatchTheFilesEachChoiceNames()
    {
        TestFolder folder;
        const QStringList files{"a.jpg", "b.JPEG", "c.bmp", "d.ico", "e.emf", "f.wmf", "g.txt", "h.png"};
        for (const QString& name : files)
            TestFolder::writeAll(folder.file(name), "x");
        TOpenPictureDialog dialog(nullptr, PictureDialogFilter());
        dialog.setDirectory(folder.path());
        dialog.show();
        const QList<QStringList> expected{{"a.jpg", "b.JPEG", "c.bmp", "d.ico", "e.emf", "f.wmf"},
                                          {"a.jpg"},
                                          {"b.JPEG"},
                                          {"c.bmp"},
                                          {"d.ico"},
                                          {"e.emf"},
                                          {"f.wmf"}};
        QTRY_COMPARE(Listed(dialog), expected[0]);
        for (int i = 1; i < expected.size(); ++i) {
            dialog.SelectChoice(i);
            QCOMPARE(dialog.selectedNameFilter(), ShownChoices[i]);
            QTRY_COMPARE(Listed(dialog), expected[i]);
        }
        // Choosing in the box itself, as the user does, matches the same way.
        auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QVERIFY(combo);
        combo->setCurrentIndex(0);
        emit combo->activated(0);
        emit combo->textActivated(combo->currentText());
        QTRY_COMPARE(Listed(dialog), expected[0]);
    }

    void shouldReturnATypedNameUnchanged()
    {
        TestFolder folder;
        TOpenPictureDialog dialog(nullptr, PictureDialogFilter());
        dialog.setDirectory(folder.path());
        dialog.selectFile(QStringLiteral("no such photo.txt"));
        static_cast<QDialog&>(dialog).accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.selectedFiles(), QStringList(folder.file("no such photo.txt")));
    }

    void shouldPreviewTheFileSelectedInTheDialog()
    {
        TestFolder folder;
        QImage image(40, 80, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(folder.file("tall.bmp"), "BMP"));
        TOpenPictureDialog dialog(nullptr, PictureDialogFilter());
        dialog.setDirectory(folder.path());
        dialog.show();
        QTRY_COMPARE(Listed(dialog), QStringList("tall.bmp"));
        // The user clicks the file.
        auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
        QVERIFY(view);
        view->setCurrentIndex(view->model()->index(0, 0, view->rootIndex()));
        QTRY_VERIFY(dialog.Preview()->Pane()->Picture());
        QCOMPARE(dialog.Preview()->SizeText(), QStringLiteral("40 × 80"));
    }

    void shouldPreviewThePictureScaledToFit_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRect>("box");
        QTest::addColumn<QRect>("fitted");
        QTest::newRow("wide") << QSize(200, 100) << QRect(0, 0, 100, 100) << QRect(0, 25, 100, 50);
        QTest::newRow("tall") << QSize(188, 250) << QRect(10, 10, 150, 150) << QRect(29, 10, 112, 150);
        QTest::newRow("small grows") << QSize(10, 20) << QRect(0, 0, 100, 100) << QRect(25, 0, 50, 100);
        QTest::newRow("empty") << QSize(0, 0) << QRect(0, 0, 100, 100) << QRect();
    }
    void shouldPreviewThePictureScaledToFit()
    {
        QFETCH(QSize, picture);
        QFETCH(QRect, box);
        QFETCH(QRect, fitted);
        QCOMPARE(FitKeepingProportions(picture, box), fitted);
    }

    void shouldShowTheSelectedFileInThePreview()
    {
        TestFolder folder;
        QImage image(60, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(folder.file("wide.bmp"), "BMP"));
        TestFolder::writeAll(folder.file("broken.jpg"), "not a jpeg");

        PicturePreview preview;
        preview.resize(200, 230);
        preview.show();
        QCOMPARE(preview.PreviewButton()->toolTip(), QStringLiteral("预览"));
        preview.ShowFile(folder.file("wide.bmp"));
        QVERIFY(preview.Pane()->Picture());
        QVERIFY(preview.PreviewButton()->isEnabled());
        QCOMPARE(preview.SizeText(), QStringLiteral("60 × 30"));
        const QRect where = preview.Pane()->PictureRect();
        QCOMPARE(where.width(), where.height() * 2);
        QVERIFY(preview.Pane()->contentsRect().contains(where));

        preview.ShowFile(folder.file("broken.jpg"));
        QVERIFY(!preview.Pane()->Picture());
        QVERIFY(!preview.PreviewButton()->isEnabled());
        QCOMPARE(preview.SizeText(), QString());
    }
};

QTEST_MAIN(FormatsTest)
#include "test_formats.moc"
