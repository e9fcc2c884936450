// Search, column sort, batch add and export as the user drives them from the window.

#include "photo/ImageBox.h"
#include "tests/forms/test_mainwindow_harness.h"

#include <QDir>
#include <QFile>
#include <QMimeData>

namespace {
const QList<ContactTexts> People{
    {"朋友", "王小明", "", "13812345678", "", "北京", ""},
    {"同事", "张伟", "", "13900000000", "", "上海", ""},
    {"朋友", "李王", "", "010-555", "", "", ""},
    {"客户", "O'Neil", "", "", "", "", "外国朋友"},
    {"亲戚", "安然", "", "", "", "", ""},
};

// The names without the one written in Latin letters, whose place among Chinese names is the collation's.
QStringList ChineseNames(QStringList names)
{
    names.removeAll(QStringLiteral("O'Neil"));
    return names;
}

void AddPeople(MainWindowHarness& h)
{
    for (const ContactTexts& p : People)
        h.Add(p);
    h.w().Image1->Clear();
}
}  // namespace

class MainWindowSearchTest : public QObject {
    Q_OBJECT
private slots:
    void shouldFilterByFilledFields_data()
    {
        QTest::addColumn<ContactTexts>("fields");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("category and name") << ContactTexts{"朋友", "王", "", "", "", "", ""}
                                           << "类别 = '朋友' and 姓名 like  '%王%'" << QStringList{"王小明", "李王"};
        QTest::newRow("name and telephone") << ContactTexts{"", "王", "", "138", "", "", ""}
                                            << "姓名 like  '%王%' and 电话 like  '%138%'" << QStringList{"王小明"};
        QTest::newRow("category only") << ContactTexts{"同事", "", "", "", "", "", ""} << "类别 = '同事'"
                                       << QStringList{"张伟"};
        QTest::newRow("note only") << ContactTexts{"", "", "", "", "", "", "外国"} << "备注 like  '%外国%'"
                                   << QStringList{"O'Neil"};
        QTest::newRow("apostrophe") << ContactTexts{"", "O'Neil", "", "", "", "", ""} << "姓名 like  '%O''Neil%'"
                                    << QStringList{"O'Neil"};
        QTest::newRow("address shown as 住址")
            << ContactTexts{"", "", "", "", "", "上海", ""} << "地址 like  '%上海%'" << QStringList{"张伟"};
        QTest::newRow("nothing matches") << ContactTexts{"", "赵", "", "", "", "", ""} << "姓名 like  '%赵%'"
                                         << QStringList{};
    }
    void shouldFilterByFilledFields()
    {
        QFETCH(ContactTexts, fields);
        QFETCH(QString, filter);
        QFETCH(QStringList, names);
        MainWindowHarness h;
        AddPeople(h);
        h.Fill(fields);
        h.Click(h.w().BitBtn3);
        QVERIFY2(h.desk.boxes.isEmpty(), qPrintable(h.desk.boxTexts().join(u'|')));
        QCOMPARE(h.query().Filter(), filter);
        QVERIFY(h.query().Filtered());
        QCOMPARE(h.Names(), names);
        QCOMPARE(h.w().PanelText(1), QStringLiteral("总人数%1").arg(names.size()));
        QCOMPARE(h.w().Edit1->text(), fields.name);  // the fields stay
    }

    void shouldShowAllRecordsOnAnEmptySearch()
    {
        MainWindowHarness h;
        AddPeople(h);
        h.Fill({"朋友", "", "", "", "", "", ""});
        h.Click(h.w().BitBtn3);
        QCOMPARE(h.w().PanelText(1), QStringLiteral("总人数2"));
        h.Click(h.w().BitBtn7);
        h.Click(h.w().BitBtn3);
        QVERIFY(!h.query().Filtered());
        QCOMPARE(h.Names().size(), People.size());
        QCOMPARE(h.w().PanelText(1), QStringLiteral("总人数5"));
    }

    void shouldCountPositionsWithinTheFilteredView()
    {
        MainWindowHarness h;
        AddPeople(h);
        h.Fill({"", "王", "", "", "", "", ""});
        h.Click(h.w().BitBtn3);
        h.ClickRow(1);
        QCOMPARE(h.w().Edit1->text(), QStringLiteral("李王"));
        QCOMPARE(h.w().PanelText(2), QStringLiteral("当前位置2"));
    }

    void shouldSortByClickedTitleInPinyinOrder()
    {
        MainWindowHarness h;
        AddPeople(h);
        const QStringList before{h.w().PanelText(0), h.w().PanelText(1), h.w().PanelText(2)};
        h.ClickTitle(1);
        QCOMPARE(h.query().Sort(), QStringLiteral("姓名   ASC"));
        const QStringList pinyinOrder{"安然", "李王", "王小明", "张伟"};  // an, li, wang, zhang
        QCOMPARE(ChineseNames(h.Names()), pinyinOrder);
        h.ClickTitle(1);  // again: still ascending
        QCOMPARE(ChineseNames(h.Names()), pinyinOrder);
        QCOMPARE((QStringList{h.w().PanelText(0), h.w().PanelText(1), h.w().PanelText(2)}), before);

        h.ClickTitle(3);
        QCOMPARE(h.query().Sort(), QStringLiteral("电话   ASC"));

        // A search keeps the sort; a sort keeps the filter.
        h.Fill({"朋友", "", "", "", "", "", ""});
        h.Click(h.w().BitBtn3);
        QCOMPARE(h.Names(), QStringList({"李王", "王小明"}));
        h.ClickTitle(1);
        QCOMPARE(h.Names(), QStringList({"李王", "王小明"}));
        QVERIFY(h.query().Filtered());
    }

    void shouldNotSortAfterResizingAColumn()
    {
        MainWindowHarness h;
        AddPeople(h);
        QHeaderView* header = h.w().DBGrid1->horizontalHeader();
        const int oldWidth = header->sectionSize(1);
        const int edge = header->sectionViewportPosition(1) + oldWidth - 1;
        const int y = header->height() / 2;
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, y));
        QMouseEvent move(QEvent::MouseMove, QPointF(edge + 30, y),
                         header->viewport()->mapToGlobal(QPointF(edge + 30, y)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(header->viewport(), &move);
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 30, y));
        QVERIFY(header->sectionSize(1) > oldWidth);
        QCOMPARE(h.query().Sort(), QString());

        // The width the user gave stays when the view is rebuilt.
        const int userWidth = header->sectionSize(1);
        h.Add({"", "赵六", "", "", "", "", ""});
        QCOMPARE(header->sectionSize(1), userWidth);
    }

    void shouldAddOneRecordPerClipboardLine()
    {
        MainWindowHarness h;
        TForm_main& w = h.w();
        h.Add({"", "老王", "", "", "", "", ""});
        h.Fill({"同事", "不用的名字", "1990", "021", "777", "南京", "批量"});
        h.desk.clipboard->setText(QStringLiteral("张三\r\n\r\n  李四 \n \t \n王五\r"));
        h.desk.boxAnswers = {Mb::IDYES};
        w.BitBtn6->click();

        QCOMPARE(h.desk.boxTexts(), QStringList{QStringLiteral("你已经提前复制数据和设置好了吗?")});
        QCOMPARE(h.Names(), QStringList({"老王", "张三", "李四", "王五"}));
        for (int row = 1; row < 4; ++row) {
            QCOMPARE(h.Cell(row, 0).trimmed(), QStringLiteral("同事"));
            QCOMPARE(h.Cell(row, 4).trimmed(), QStringLiteral("777"));
            QCOMPARE(h.Cell(row, 6).trimmed(), QStringLiteral("批量"));
            QCOMPARE(h.Cell(row, 7), QStringLiteral("(Blob)"));
        }
        QCOMPARE(w.PanelText(1), QStringLiteral("总人数4"));
        QCOMPARE(w.Edit1->text(), QStringLiteral("不用的名字"));  // the fields stay
    }

    void shouldKeepLinesBeforeAFailingOne()
    {
        MainWindowHarness h;
        h.desk.clipboard->setText(QStringLiteral("张三\n欧阳一二三四五六七八九\n王五"));  // 11 characters in char(10)
        h.desk.boxAnswers = {Mb::IDYES};
        h.w().BitBtn6->click();
        QCOMPARE(h.desk.boxes.size(), 2);
        QCOMPARE(h.desk.boxes[1].type, Mb::OK | Mb::ICONSTOP);
        QCOMPARE(h.Names(), QStringList{QStringLiteral("张三")});  // the grid follows again after the failure
        QCOMPARE(h.query().RecordCount(), 1);
    }

    void shouldAddNothingFromAnEmptyOrRefusedBatch_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("clipboardText");
        QTest::addColumn<bool>("clipboardFails");
        QTest::addColumn<QStringList>("boxes");
        const QString question = QStringLiteral("你已经提前复制数据和设置好了吗?");
        QTest::newRow("answered No") << int(Mb::IDNO) << "张三" << false << QStringList{question};
        QTest::newRow("empty clipboard") << int(Mb::IDYES) << "" << false << QStringList{question};
        QTest::newRow("blank lines only") << int(Mb::IDYES) << " \r\n\t\n" << false << QStringList{question};
        QTest::newRow("clipboard cannot be opened")
            << int(Mb::IDYES) << "" << true << QStringList{question, QStringLiteral("无法打开剪贴板.")};
    }
    void shouldAddNothingFromAnEmptyOrRefusedBatch()
    {
        QFETCH(int, answer);
        QFETCH(QString, clipboardText);
        QFETCH(bool, clipboardFails);
        QFETCH(QStringList, boxes);
        MainWindowHarness h;
        h.Fill({"同事", "", "", "", "", "", ""});
        if (!clipboardText.isEmpty())
            h.desk.clipboard->setText(clipboardText);
        h.desk.clipboardFails = clipboardFails;
        h.desk.boxAnswers = {answer};
        h.w().BitBtn6->click();
        QCOMPARE(h.desk.boxTexts(), boxes);
        QCOMPARE(h.query().RecordCount(), 0);
    }

    void shouldExportTheViewToTheChosenFile()
    {
        MainWindowHarness h;
        AddPeople(h);
        h.Fill({"朋友", "", "", "", "", "", ""});
        h.Click(h.w().BitBtn3);
        const QString chosen = h.folder.file(QStringLiteral("通讯录"));
        h.desk.saveNames = {chosen};
        h.Click(h.w().BitBtn8);
        QCOMPARE(h.desk.saveFilters, QStringList{QStringLiteral("电子表格|*.xls")});
        QVERIFY2(h.desk.boxes.isEmpty(), qPrintable(h.desk.boxTexts().join(u'|')));
        const QByteArray bytes = TestFolder::readAll(chosen + QStringLiteral(".xls"));
        QVERIFY(bytes.startsWith(QByteArray("\x09\x08\x08\x00", 4)));
        QVERIFY(bytes.endsWith(QByteArray("\x0A\x00\x00\x00", 4)));
        QVERIFY(bytes.contains(QByteArray("13812345678")));
        QVERIFY(!bytes.contains(QByteArray("13900000000")));  // filtered out

        // The grid shows the view again after the export's walk.
        QCOMPARE(h.Names(), QStringList({"王小明", "李王"}));

        // Cancelled: nothing at all.
        h.Click(h.w().BitBtn8);
        QVERIFY(h.desk.boxes.isEmpty());
    }

    void shouldReportAFailedExport()
    {
        MainWindowHarness h;
        AddPeople(h);
        h.desk.saveNames = {h.folder.file(QStringLiteral("no such folder/list.xls"))};
        h.Click(h.w().BitBtn8);
        QCOMPARE(h.desk.boxes.size(), 1);
        QVERIFY2(h.desk.boxes[0].text.startsWith(QStringLiteral("导出失败:")), qPrintable(h.desk.boxes[0].text));
        QCOMPARE(h.desk.boxes[0].caption, QStringLiteral("提示"));
    }

    void shouldReadClipboardPictureAndPictureFile()
    {
        MainWindowHarness h;
        TForm_main& w = h.w();
        // A picture file chosen in the dialog replaces the box's picture.
        QImage red(20, 10, QImage::Format_RGB32);
        red.fill(Qt::red);
        const QString file = h.folder.file(QStringLiteral("red.bmp"));
        QVERIFY(red.save(file, "BMP"));
        h.desk.pictureNames = {file};
        h.Click(w.BitBtn4);
        QCOMPARE(h.desk.pictureFilters.size(), 1);
        QVERIFY(dynamic_cast<TBitmap*>(w.Image1->Picture()));

        // A bitmap on the clipboard replaces it again.
        QImage blue(8, 8, QImage::Format_RGB32);
        blue.fill(Qt::blue);
        h.desk.clipboard->setImageData(blue);
        w.Image1->Clear();
        h.Click(w.BitBtn9);
        QVERIFY(w.Image1->Picture());
        QVERIFY(h.desk.boxes.isEmpty());
    }
};

QTEST_MAIN(MainWindowSearchTest)
#include "test_mainwindow_search.moc"
