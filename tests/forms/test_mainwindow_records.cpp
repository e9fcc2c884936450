// The record commands as the user drives them: 新建, 修改, 删除, 清屏 and a click on a grid row.

#include "photo/Graphics.h"
#include "photo/ImageBox.h"
#include "photo/Placeholder.h"
#include "tests/forms/test_mainwindow_harness.h"

namespace {
const ContactTexts Zhang{"朋友", "张三", "1990-01-02", "13800001111", "12345", "北京", "老同学"};
const ContactTexts Li{"同事", "李四", "", "13900002222", "", "上海", ""};
const ContactTexts Wang{"客户", "王五", "", "", "", "", ""};

QByteArray BoxJpegBytes(TImage* box)
{
    auto* jpeg = dynamic_cast<TJPEGImage*>(box->Picture());
    return jpeg ? jpeg->Data : QByteArray();
}
}  // namespace

class MainWindowRecordsTest : public QObject {
    Q_OBJECT
private slots:
    void shouldStoreStartPictureWithFirstRecordOnly()
    {
        MainWindowHarness h;
        TForm_main& w = h.w();
        h.Add({"朋友", "张三 ", "1990", "138", "123", "北京", "老同学"});

        QCOMPARE(h.CurrentPhoto(), PlaceholderBytes());
        QVERIFY(!w.Image1->Picture());
        QCOMPARE(w.PanelText(0), QStringLiteral("张三 "));  // as typed, untrimmed
        QCOMPARE(w.PanelText(1), QStringLiteral("总人数1"));
        QCOMPARE(h.FieldTexts(), QStringList(7));

        h.Add(Li);
        QVERIFY(h.CurrentPhotoIsNull());
        QCOMPARE(w.PanelText(1), QStringLiteral("总人数2"));
        QCOMPARE(h.Cell(0, 7), QStringLiteral("(BLOB)"));
        QCOMPARE(h.Cell(1, 7), QStringLiteral("(Blob)"));
        QCOMPARE(h.Cell(0, 1), QStringLiteral("张三 ").leftJustified(10));  // the column's padding shows
    }

    void shouldLoadClickedRecordTrimmedWithItsPhoto()
    {
        MainWindowHarness h;
        TForm_main& w = h.w();
        h.Add(Zhang);
        h.Add(Li);
        h.Add(Wang);

        h.ClickRow(0);
        QCOMPARE(h.FieldTexts(), QStringList({"朋友", "张三", "1990-01-02", "13800001111", "12345", "北京", "老同学"}));
        QCOMPARE(w.PanelText(0), QStringLiteral("张三"));
        QCOMPARE(w.PanelText(2), QStringLiteral("当前位置1"));
        QCOMPARE(BoxJpegBytes(w.Image1), PlaceholderBytes());

        h.ClickRow(2, 4);
        QCOMPARE(h.FieldTexts(), QStringList({"客户", "王五", "", "", "", "", ""}));
        QCOMPARE(w.PanelText(2), QStringLiteral("当前位置3"));
        QVERIFY(!w.Image1->Picture());  // no photo: the box is emptied
        QCOMPARE(w.PanelText(1), QStringLiteral("总人数3"));
    }

    void shouldFollowOnlyLeftClicksAndNotTheKeyboard()
    {
        MainWindowHarness h;
        TForm_main& w = h.w();
        h.Add(Zhang);
        h.Add(Li);
        h.Add(Wang);
        w.BitBtn7->click();

        h.ClickRow(1, 1, Qt::RightButton);
        QCOMPARE(h.query().RecNo(), 2);      // the press moves the record ...
        QVERIFY(w.Edit1->text().isEmpty());  // ... but only a left click loads it

        h.ClickRow(0);
        QCOMPARE(w.Edit1->text(), QStringLiteral("张三"));
        QTest::keyClick(w.DBGrid1, Qt::Key_Down);
        QTest::keyClick(w.DBGrid1, Qt::Key_Down);
        QCOMPARE(h.query().RecNo(), 3);
        QCOMPARE(w.DBGrid1->currentIndex().row(), 2);
        QCOMPARE(w.Edit1->text(), QStringLiteral("张三"));
        QCOMPARE(w.PanelText(2), QStringLiteral("当前位置1"));

        // Moving the record elsewhere moves the grid's row and its indicator.
        h.query().First();
        QCOMPARE(w.DBGrid1->currentIndex().row(), 0);
        QCOMPARE(w.DBGrid1->model()->headerData(0, Qt::Vertical).toString(), TDBGridModel::IndicatorMark());
        QCOMPARE(w.DBGrid1->model()->headerData(2, Qt::Vertical).toString(), QString());
    }

    void shouldKeepPhotoBytesWhenModifying()
    {
        MainWindowHarness h;
        TForm_main& w = h.w();
        h.Add(Zhang);
        h.Add(Li);
        h.ClickRow(0);
        w.Edit3->setText(QStringLiteral("010-1234"));
        h.desk.boxAnswers = {Mb::IDYES};
        h.Click(w.BitBtn2);
        QCOMPARE(h.desk.boxTexts(), QStringList{QStringLiteral("确定要覆盖原来数据吗?")});
        QCOMPARE(h.desk.boxes[0].caption, QStringLiteral("提示"));
        QCOMPARE(h.query().RecNo(), 1);
        QCOMPARE(h.query().FieldByName(QStringLiteral("电话"))->AsString().trimmed(), QStringLiteral("010-1234"));
        QCOMPARE(h.CurrentPhoto(), PlaceholderBytes());
        QVERIFY(!w.Image1->Picture());
        QCOMPARE(h.FieldTexts(), QStringList(7));
        QCOMPARE(w.PanelText(1), QStringLiteral("总人数2"));

        // With an empty box the record keeps the photo it has.
        h.ClickRow(1);
        h.ClickRow(0);
        w.Image1->Clear();
        h.desk.boxAnswers = {Mb::IDYES};
        h.Click(w.BitBtn2);
        QCOMPARE(h.CurrentPhoto(), PlaceholderBytes());
    }

    void shouldAddWhenModifyingAnEmptyView()
    {
        MainWindowHarness h;
        TForm_main& w = h.w();
        w.Image1->Clear();
        h.Fill(Wang);
        h.desk.boxAnswers = {Mb::IDYES};
        h.Click(w.BitBtn2);
        QCOMPARE(h.query().RecordCount(), 1);
        QCOMPARE(h.Names(), QStringList{QStringLiteral("王五")});
        QCOMPARE(w.PanelText(1), QStringLiteral("总人数1"));
    }

    void shouldChangeNothingWhenRefused_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("answer");
        QTest::newRow("新建 without a name") << "BitBtn1"
                                             << "" << int(Mb::IDYES);
        QTest::newRow("修改 without a name") << "BitBtn2"
                                             << "" << int(Mb::IDYES);
        QTest::newRow("修改 answered No") << "BitBtn2"
                                          << "赵六" << int(Mb::IDNO);
        QTest::newRow("删除 answered No") << "BitBtn5"
                                          << "赵六" << int(Mb::IDNO);
    }
    void shouldChangeNothingWhenRefused()
    {
        QFETCH(QString, button);
        QFETCH(QString, name);
        QFETCH(int, answer);
        MainWindowHarness h;
        TForm_main& w = h.w();
        h.Add(Zhang);
        h.ClickRow(0);
        const QStringList panels{w.PanelText(0), w.PanelText(1), w.PanelText(2)};
        ContactTexts typed = Li;
        typed.name = name;
        h.Fill(typed);
        h.desk.boxAnswers = {answer};
        h.Click(w.findChild<QPushButton*>(button));

        QCOMPARE(h.Names(), QStringList{QStringLiteral("张三")});
        QCOMPARE(h.FieldTexts(), QStringList({typed.category, typed.name, typed.birthday, typed.telephone, typed.qq,
                                              typed.address, typed.note}));
        QCOMPARE(BoxJpegBytes(w.Image1), PlaceholderBytes());
        QCOMPARE((QStringList{w.PanelText(0), w.PanelText(1), w.PanelText(2)}), panels);
        QVERIFY(h.desk.boxes.size() <= 1);  // at most the question
    }

    void shouldAddRecordForNameOfBlanks()
    {
        MainWindowHarness h;
        h.Add({"", "  ", "", "", "", "", ""});
        QCOMPARE(h.query().RecordCount(), 1);
        QCOMPARE(h.w().PanelText(0), QStringLiteral("  "));
    }

    void shouldDeleteCurrentRecordAndShowNewCount()
    {
        MainWindowHarness h;
        TForm_main& w = h.w();
        h.Add(Zhang);
        h.Add(Li);
        h.Add(Wang);
        h.ClickRow(1);
        h.desk.boxAnswers = {Mb::IDYES};
        h.Click(w.BitBtn5);
        QCOMPARE(h.desk.boxTexts(), QStringList{QStringLiteral("真要删除这个记录吗？")});
        QCOMPARE(h.Names(), QStringList({"张三", "王五"}));
        QCOMPARE(w.PanelText(1), QStringLiteral("总人数2"));
        QCOMPARE(w.Edit1->text(), QStringLiteral("李四"));  // the fields stay
    }

    void shouldRefuseDeleteOnEmptyView()
    {
        MainWindowHarness h;
        h.desk.boxAnswers = {Mb::IDYES};
        h.Click(h.w().BitBtn5);
        QCOMPARE(h.desk.boxTexts(), QStringList({"真要删除这个记录吗？", "ADOQuery1: 无法在空数据集上执行该操作."}));
        QCOMPARE(h.desk.boxes[1].type, Mb::OK | Mb::ICONSTOP);
        QCOMPARE(h.w().PanelText(1), QStringLiteral("总人数0"));
    }

    void shouldKeepFieldsWhenTheStoreRefusesTheText()
    {
        MainWindowHarness h;
        TForm_main& w = h.w();
        const ContactTexts tooLong{"朋友", "欧阳一二三四五六七八九", "", "", "", "", ""};  // 11 characters in char(10)
        h.Add(tooLong);
        QCOMPARE(h.desk.boxes.size(), 1);
        QCOMPARE(h.desk.boxes[0].type, Mb::OK | Mb::ICONSTOP);
        QCOMPARE(h.query().RecordCount(), 0);
        QCOMPARE(w.Edit1->text(), tooLong.name);
        QCOMPARE(w.ComboBox1->currentText(), tooLong.category);
        QCOMPARE(w.PanelText(1), QStringLiteral("总人数0"));
        QCOMPARE(BoxJpegBytes(w.Image1), PlaceholderBytes());

        // The same through 修改: the record keeps its texts, the fields keep theirs.
        h.Add(Zhang);
        h.ClickRow(0);
        w.Edit1->setText(tooLong.name);
        h.desk.boxAnswers = {Mb::IDYES};
        h.Click(w.BitBtn2);
        QCOMPARE(h.desk.boxes.size(), 3);
        QCOMPARE(h.Names(), QStringList{QStringLiteral("张三")});
        QCOMPARE(w.Edit1->text(), tooLong.name);
        QCOMPARE(h.query().State(), TADOQuery::dsBrowse);
    }

    void shouldRefusePicturesJpegCannotHoldBeforeStoringAnything_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("button");
        for (const char* kind : {"TIcon", "TMetafile"}) {
            QTest::addRow("%s 新建", kind) << kind << "BitBtn1";
            QTest::addRow("%s 修改", kind) << kind << "BitBtn2";
        }
    }
    void shouldRefusePicturesJpegCannotHoldBeforeStoringAnything()
    {
        QFETCH(QString, kind);
        QFETCH(QString, button);
        MainWindowHarness h;
        TForm_main& w = h.w();
        h.Add(Zhang);
        h.ClickRow(0);
        if (kind == QStringLiteral("TIcon"))
            w.Image1->SetPicture(std::make_unique<TIcon>());
        else
            w.Image1->SetPicture(std::make_unique<TMetafile>());
        h.Fill(Li);
        h.desk.boxes.clear();
        h.desk.boxAnswers = {Mb::IDYES};
        h.Click(w.findChild<QPushButton*>(button));

        QCOMPARE(h.desk.boxTexts().last(), QStringLiteral("不能指派一个 %1 给一个 TJPEGImage.").arg(kind));
        QCOMPARE(h.desk.boxes.last().type, Mb::OK | Mb::ICONSTOP);
        QCOMPARE(h.Names(), QStringList{QStringLiteral("张三")});
        QCOMPARE(h.query().FieldByName(QStringLiteral("电话"))->AsString().trimmed(), QStringLiteral("13800001111"));
        QCOMPARE(h.CurrentPhoto(), PlaceholderBytes());
        QCOMPARE(w.Edit1->text(), QStringLiteral("李四"));
        QCOMPARE(w.Image1->Picture()->ClassName(), kind);
        QCOMPARE(w.PanelText(1), QStringLiteral("总人数1"));
    }

    void shouldClearFieldsButNotThePhoto()
    {
        MainWindowHarness h;
        TForm_main& w = h.w();
        h.Fill(Zhang);
        h.Click(w.BitBtn7);
        QCOMPARE(h.FieldTexts(), QStringList(7));
        QCOMPARE(BoxJpegBytes(w.Image1), PlaceholderBytes());
        QCOMPARE(h.query().RecordCount(), 0);
    }

    void shouldShowStoredCountOnTheNextRun()
    {
        MainWindowHarness h;
        h.Add(Zhang);
        h.Add(Li);
        h.Reopen();
        QVERIFY(h.desk.boxes.isEmpty());
        QCOMPARE(h.w().PanelText(1), QStringLiteral("总人数2"));
        QCOMPARE(h.Names(), QStringList({"张三", "李四"}));
        QCOMPARE(h.Cell(0, 7), QStringLiteral("(BLOB)"));
    }
};

QTEST_MAIN(MainWindowRecordsTest)
#include "test_mainwindow_records.moc"
