// Records that other tools wrote into the book: bytes that are no UTF-8,
// numbers and blobs in text columns. Each value reads on its own, and writes
// still find the record they read.

#include "store/DbHelpers.h"
#include "store/StoredText.h"
#include "tests/support/ContactBook.h"
#include "tests/support/RawBook.h"

#include <vector>

Q_DECLARE_METATYPE(std::vector<RawValue>)

namespace {

const QStringList TextColumns{"类别", "姓名", "生日", "电话", "QQ", "地址", "备注"};

QStringList trimmedTexts(TADOQuery& query)
{
    QStringList texts;
    for (const QString& column : TextColumns)
        texts << query.FieldByName(column)->AsString().trimmed();
    return texts;
}

QStringList gridTexts(TADOQuery& query, int row)
{
    QStringList texts;
    for (int column = 0; column < TextColumns.size(); ++column)
        texts << query.DisplayText(row, column).trimmed();
    return texts;
}

RawValue gbk(const char* hex)
{
    return RawValue::text(QByteArray::fromHex(hex));
}
// The bytes as written: through QString a leading byte order mark would go.
RawValue utf8(const char* text)
{
    return RawValue::text(QByteArray(text));
}

}  // namespace

class ForeignValuesTest : public QObject {
    Q_OBJECT
private slots:
    void shouldTellWellFormedUtf8_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("wellFormed");
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("ASCII and NUL") << QByteArray("a\0b", 3) << true;
        QTest::newRow("two, three and four bytes") << QByteArray::fromHex("c3a9e69c8bf0aa9aa5") << true;
        QTest::newRow("largest code point") << QByteArray::fromHex("f48fbfbf") << true;
        QTest::newRow("byte order mark") << QByteArray::fromHex("efbbbf41") << true;
        QTest::newRow("GBK 朋友") << QByteArray::fromHex("c5f3d3d1") << false;
        QTest::newRow("overlong slash") << QByteArray::fromHex("c0af") << false;
        QTest::newRow("overlong three bytes") << QByteArray::fromHex("e08080") << false;
        QTest::newRow("overlong four bytes") << QByteArray::fromHex("f0808080") << false;
        QTest::newRow("surrogate") << QByteArray::fromHex("eda080") << false;
        QTest::newRow("past U+10FFFF") << QByteArray::fromHex("f4908080") << false;
        QTest::newRow("lead F5") << QByteArray::fromHex("f5808080") << false;
        QTest::newRow("cut short") << QByteArray::fromHex("41e69c") << false;
        QTest::newRow("stray continuation") << QByteArray::fromHex("4180") << false;
        QTest::newRow("lead without continuation") << QByteArray::fromHex("e641") << false;
        // ASCII is taken eight bytes at a time: what follows such a run is still looked at.
        QTest::newRow("eight ASCII, then GBK") << QByteArray("12345678\xc5\xf3") << false;
        QTest::newRow("nine ASCII, cut short") << QByteArray("123456789\xe6\x9c") << false;
        QTest::newRow("sixteen ASCII, then four bytes") << QByteArray("1234567812345678\xf0\xaa\x9a\xa5") << true;
    }
    void shouldDecodeUtf8WhereverItsAsciiRunsEnd_data()
    {
        QTest::addColumn<QString>("text");
        const QString han = QStringLiteral("张");
        const QString beyond = QString::fromUcs4(U"\U0002A6A5");
        for (int ascii = 0; ascii <= 17; ++ascii) {
            const QString run = QStringLiteral("0123456789abcdefg").left(ascii);
            QTest::addRow("%d ASCII, then 张, then ASCII", ascii) << run + han + run;
            QTest::addRow("%d ASCII after a character past U+FFFF", ascii) << beyond + run;
        }
    }
    void shouldDecodeUtf8WhereverItsAsciiRunsEnd()
    {
        QFETCH(QString, text);
        const QByteArray utf8 = text.toUtf8();
        QCOMPARE(WellFormedUtf16Length(utf8), int(text.size()));
        QCOMPARE(DecodeStoredText(utf8), text);
    }
    void shouldTellWellFormedUtf8()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, wellFormed);
        QCOMPARE(IsWellFormedUtf8(bytes), wellFormed);
    }

    void shouldReadEveryValueOnItsOwn_data()
    {
        QTest::addColumn<std::vector<RawValue>>("values");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("GBK category before UTF-8 texts")
            << std::vector{gbk("c5f3d3d1"), utf8("李雷"),   utf8("2005"),  utf8("13800001111"),
                           utf8("12345"),   utf8("北京市"), utf8("老同学")}
            << QStringList{"朋友", "李雷", "2005", "13800001111", "12345", "北京市", "老同学"};
        QTest::newRow("GBK everywhere") << std::vector{gbk("c5f3d3d1"),    gbk("c0eec0d7"),  RawValue::null(),
                                                       gbk("3133383030"),  RawValue::null(), gbk("b1b1bea9cad0"),
                                                       gbk("c0cfcdacd1a7")}
                                        << QStringList{"朋友", "李雷", "", "13800", "", "北京市", "老同学"};
        QTest::newRow("bytes that are no character") << std::vector{gbk("80ff"), utf8("李雷"), utf8("x")}
                                                     << QStringList{"\uFFFD\uFFFD", "李雷", "x", "", "", "", ""};
        QTest::newRow("byte order mark first")
            << std::vector{utf8("\xEF\xBB\xBF朋友"), utf8("李雷"), utf8("2005")}
            << QStringList{QChar(0xFEFF) + QStringLiteral("朋友"), "李雷", "2005", "", "", "", ""};
        QTest::newRow("character beyond U+FFFF, UTF-8 and GB18030")
            << std::vector{utf8("𪚥"), gbk("9835ee37"), utf8("2005")}
            << QStringList{"𪚥", "𪚥", "2005", "", "", "", ""};
        QTest::newRow("blobs in text columns")
            << std::vector{RawValue::blob(QByteArray::fromHex("c5f3d3d1")),
                           RawValue::blob(QStringLiteral("韩梅梅").toUtf8()), RawValue::blob(QByteArray()), utf8("110")}
            << QStringList{"朋友", "韩梅梅", "", "110", "", "", ""};
        QTest::newRow("numbers bound to text columns")
            << std::vector{utf8("同事"), utf8("王五"), RawValue::number(20050101), RawValue::decimal(2.5),
                           RawValue::number(-7)}
            << QStringList{"同事", "王五", "20050101", "2.5", "-7", "", ""};
    }
    void shouldReadEveryValueOnItsOwn()
    {
        QFETCH(std::vector<RawValue>, values);
        QFETCH(QStringList, texts);
        ContactBook db;
        db.addNames({QStringLiteral("前一个")});
        RawBook(db.folder.databasePath()).insert(values);
        db.addNames({QStringLiteral("后一个")});
        db.reopen();

        QCOMPARE(db.query.RecordCount(), 3);
        QCOMPARE(gridTexts(db.query, 1), texts);
        db.query.SetRecNo(2);
        QCOMPARE(trimmedTexts(db.query), texts);
        // A char(n) value is padded by characters, whatever its stored bytes.
        QCOMPARE(db.query.FieldByName(QStringLiteral("类别"))->AsString().toUcs4().size(), 10);
        QCOMPARE(gridTexts(db.query, 0)[1], QStringLiteral("前一个"));
        QCOMPARE(gridTexts(db.query, 2)[1], QStringLiteral("后一个"));
    }

    void shouldWriteBackAsUtf8AndKeepWhatWasNotChanged()
    {
        ContactBook db;
        const QByteArray photo = QByteArray::fromHex("ffd8ffe000104a464946");
        RawBook(db.folder.databasePath())
            .insert({gbk("c5f3d3d1"), RawValue::blob(QStringLiteral("韩梅梅").toUtf8()), RawValue::number(2005),
                     utf8("110"), gbk("80ff"), RawValue::null(), gbk("c0cfcdacd1a7"), RawValue::blob(photo)});
        db.reopen();

        db.query.Edit();
        db.query.FieldByName(QStringLiteral("类别"))->SetAsString(QStringLiteral("朋友"));
        db.query.FieldByName(QStringLiteral("电话"))->SetAsString(QStringLiteral("120"));
        db.query.Post();  // found by the values as they were stored

        RawBook raw(db.folder.databasePath());
        QCOMPARE(raw.stored(QStringLiteral("类别")), QStringList{StoredAs("text", "\xE6\x9C\x8B\xE5\x8F\x8B")});
        QCOMPARE(raw.stored(QStringLiteral("电话")), QStringList{StoredAs("text", "120")});
        QCOMPARE(raw.stored(QStringLiteral("姓名")), QStringList{StoredAs("blob", QStringLiteral("韩梅梅").toUtf8())});
        QCOMPARE(raw.stored(QStringLiteral("生日")), QStringList{StoredAs("text", "2005")});
        QCOMPARE(raw.stored(QStringLiteral("QQ")), QStringList{StoredAs("text", "\x80\xFF")});
        QCOMPARE(raw.stored(QStringLiteral("地址")), QStringList{QStringLiteral("null:")});
        QCOMPARE(raw.stored(QStringLiteral("备注")),
                 QStringList{StoredAs("text", QByteArray::fromHex("c0cfcdacd1a7"))});
        QCOMPARE(raw.stored(QStringLiteral("jpg")), QStringList{StoredAs("blob", photo)});
        QCOMPARE(trimmedTexts(db.query), (QStringList{"朋友", "韩梅梅", "2005", "120", "\uFFFD\uFFFD", "", "老同学"}));

        // The record read back after the write is found again by the next one.
        db.query.Edit();
        db.query.FieldByName(QStringLiteral("备注"))->SetAsString(QStringLiteral("老同学"));
        db.query.Post();
        QCOMPARE(raw.stored(QStringLiteral("备注")), QStringList{StoredAs("text", QStringLiteral("老同学").toUtf8())});
        db.query.Delete();
        QCOMPARE(raw.texts(QStringLiteral("select count(*) from rem")), QStringList{"0"});
    }

    void shouldStillRefuseForeignRecordChangedElsewhere()
    {
        ContactBook db;
        RawBook raw(db.folder.databasePath());
        raw.insert({gbk("c5f3d3d1"), utf8("李雷")});
        db.reopen();
        raw.execute("update rem set 类别 = cast(x'cdacd1a7' as text)");  // 同学, also in GBK

        db.query.Edit();
        db.query.FieldByName(QStringLiteral("电话"))->SetAsString(QStringLiteral("120"));
        expectDatabaseError([&] { db.query.Post(); }, QStringLiteral("ADOQuery1: 记录已被其他程序修改或删除"));
        expectDatabaseError([&] { db.query.Delete(); }, QStringLiteral("ADOQuery1: 记录已被其他程序修改或删除"));
        QCOMPARE(raw.stored(QStringLiteral("类别")), QStringList{StoredAs("text", QByteArray::fromHex("cdacd1a7"))});
        QCOMPARE(raw.stored(QStringLiteral("电话")), QStringList{QStringLiteral("null:")});
    }

    void shouldReadNumbersOfUntypedColumnsAndKeepTheirType()
    {
        ContactBook db;
        RawBook raw(db.folder.databasePath());
        raw.execute("create table other(名字 char(10), 数 , 比 real)");
        raw.insert({gbk("c0eec0d7"), RawValue::number(42), RawValue::decimal(0.1)}, QStringLiteral("other"));
        TADOQuery other(QStringLiteral("ADOQuery2"));
        other.Connection = &db.connection;
        QVERIFY(OpenTable(other, QStringLiteral("other")));
        QCOMPARE(other.FieldByName(QStringLiteral("数"))->AsString(), QStringLiteral("42"));
        QCOMPARE(other.FieldByName(QStringLiteral("比"))->AsString(), QStringLiteral("0.1"));

        other.Edit();
        other.FieldByName(QStringLiteral("名字"))->SetAsString(QStringLiteral("李雷"));
        other.Post();
        QCOMPARE(raw.stored(QStringLiteral("数"), QStringLiteral("other")),
                 QStringList{"integer:3432"} /* hex of its text */);
        QCOMPARE(raw.texts(QStringLiteral("select 比 = 0.1 from other")), QStringList{"1"});
    }
};

QTEST_APPLESS_MAIN(ForeignValuesTest)
#include "test_foreign_values.moc"
