// Records that another tool wrote into the book (GBK bytes, numbers, blobs in
// text columns), as the user meets them: in the grid, on a row click, through
// 修改, the search and the export.

#include "photo/Placeholder.h"
#include "tests/forms/test_mainwindow_harness.h"
#include "tests/support/RawBook.h"

namespace {

const QByteArray PengYou = QByteArray::fromHex("c5f3d3d1");  // 朋友 in GBK
const QByteArray LiLei = QByteArray::fromHex("c0eec0d7");    // 李雷 in GBK

// A record as a Chinese tool writes it, between two that the window added.
void AddForeignRecord(MainWindowHarness& h, const QByteArray& photo = QByteArray())
{
    h.Add({"同事", "张三", "", "", "", "", ""});
    RawBook(h.folder.databasePath())
        .insert({RawValue::text(PengYou), RawValue::text(LiLei), RawValue::number(2005), RawValue::blob("13800001111"),
                 RawValue::text("12345"), RawValue::text(QByteArray::fromHex("b1b1bea9")),
                 RawValue::utf8(QStringLiteral("老同学")), photo.isNull() ? RawValue::null() : RawValue::blob(photo)});
    h.Reopen();
    h.Add({"客户", "王五", "", "", "", "", ""});
}

const QStringList ForeignTexts{"朋友", "李雷", "2005", "13800001111", "12345", "北京", "老同学"};

QStringList RowTexts(MainWindowHarness& h, int row)
{
    QStringList texts;
    for (int column = 0; column < 7; ++column)
        texts << h.Cell(row, column).trimmed();
    return texts;
}

// One LABEL record of the export, laid out by hand.
QByteArray Label(quint16 column, quint16 row, const QByteArray& text)
{
    const auto le = [](quint16 v) { return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char(v >> 8)); };
    return le(0x0204) + le(quint16(text.size() + 8)) + le(row) + le(column) + le(0) + le(quint16(text.size())) + text;
}

}  // namespace

class MainWindowForeignTest : public QObject {
    Q_OBJECT
private slots:
    void shouldShowAndLoadEveryValueInItsOwnColumn()
    {
        MainWindowHarness h;
        AddForeignRecord(h);
        QCOMPARE(h.Names(), (QStringList{"张三", "李雷", "王五"}));
        QCOMPARE(RowTexts(h, 1), ForeignTexts);
        QCOMPARE(h.Cell(1, 0), QStringLiteral("朋友").leftJustified(10));  // padded by characters
        QCOMPARE(h.Cell(1, 7), QStringLiteral("(Blob)"));

        h.ClickRow(1);
        QCOMPARE(h.FieldTexts(), ForeignTexts);
        QCOMPARE(h.w().PanelText(0), QStringLiteral("李雷"));
        QCOMPARE(h.w().PanelText(2), QStringLiteral("当前位置2"));
        QVERIFY(h.desk.boxes.isEmpty());
    }

    void shouldWriteTextsBackAsUtf8AndKeepThePhoto()
    {
        MainWindowHarness h;
        AddForeignRecord(h, PlaceholderBytes());
        h.ClickRow(1);
        h.w().Edit3->setText(QStringLiteral("010-1234"));
        h.desk.boxAnswers = {Mb::IDYES};
        h.Click(h.w().BitBtn2);
        QCOMPARE(h.desk.boxTexts(), QStringList{QStringLiteral("确定要覆盖原来数据吗?")});

        RawBook raw(h.folder.databasePath());
        const auto second = [&](const char* column) { return raw.stored(QString::fromUtf8(column)).value(1); };
        QCOMPARE(second("类别"), StoredAs("text", QStringLiteral("朋友").toUtf8()));
        QCOMPARE(second("姓名"), StoredAs("text", QStringLiteral("李雷").toUtf8()));
        QCOMPARE(second("生日"), StoredAs("text", "2005"));
        QCOMPARE(second("电话"), StoredAs("text", "010-1234"));
        QCOMPARE(second("地址"), StoredAs("text", QStringLiteral("北京").toUtf8()));
        QCOMPARE(second("jpg"), StoredAs("blob", PlaceholderBytes()));
        QCOMPARE(raw.texts(QStringLiteral("select count(*) from rem")), QStringList{"3"});
        QCOMPARE(RowTexts(h, 1), (QStringList{"朋友", "李雷", "2005", "010-1234", "12345", "北京", "老同学"}));
        QCOMPARE(RowTexts(h, 0)[1], QStringLiteral("张三"));
        QCOMPARE(RowTexts(h, 2)[1], QStringLiteral("王五"));
    }

    void shouldFindForeignRecordBySearch_data()
    {
        QTest::addColumn<ContactTexts>("fields");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("category") << ContactTexts{"朋友", "", "", "", "", "", ""} << QStringList{"李雷"};
        QTest::newRow("part of the name") << ContactTexts{"", "雷", "", "", "", "", ""} << QStringList{"李雷"};
        QTest::newRow("telephone stored as a blob")
            << ContactTexts{"", "", "", "1380000", "", "", ""} << QStringList{"李雷"};
        QTest::newRow("birthday stored as a number")
            << ContactTexts{"", "", "2005", "", "", "", ""} << QStringList{"李雷"};
        QTest::newRow("another category") << ContactTexts{"同事", "", "", "", "", "", ""} << QStringList{"张三"};
    }
    void shouldFindForeignRecordBySearch()
    {
        QFETCH(ContactTexts, fields);
        QFETCH(QStringList, names);
        MainWindowHarness h;
        AddForeignRecord(h);
        h.Fill(fields);
        h.Click(h.w().BitBtn3);
        QCOMPARE(h.Names(), names);
        QVERIFY(h.desk.boxes.isEmpty());
    }

    void shouldExportForeignValuesAsTheirGbkBytes()
    {
        MainWindowHarness h;
        AddForeignRecord(h);
        const QString chosen = h.folder.file(QStringLiteral("list.xls"));
        h.desk.saveNames = {chosen};
        h.Click(h.w().BitBtn8);
        QVERIFY2(h.desk.boxes.isEmpty(), qPrintable(h.desk.boxTexts().join(u'|')));

        const QByteArray blanks(8, ' ');
        QByteArray row = Label(0, 2, PengYou + blanks) + Label(1, 2, LiLei + blanks)
                         + Label(2, 2, "2005" + QByteArray(11, ' ')) + Label(3, 2, "13800001111    ")
                         + Label(4, 2, "12345" + QByteArray(10, ' '))
                         + Label(5, 2, QByteArray::fromHex("b1b1bea9") + QByteArray(28, ' '))
                         + Label(6, 2, QByteArray::fromHex("c0cfcdacd1a7") + QByteArray(97, ' '));
        const QByteArray bytes = TestFolder::readAll(chosen);
        QVERIFY(bytes.contains(row));
        QVERIFY(bytes.endsWith(Label(6, 3, "") + QByteArray::fromHex("0a000000")));  // 王五 has no note
    }
};

QTEST_MAIN(MainWindowForeignTest)
#include "test_mainwindow_foreign.moc"
