// The one table of column headers every sheet reader uses: what the names of
// Chinese and English mail programs and offices mean, and that docs/formats.md
// lists every one of them.
#include "exchange/sheet/HeaderMeaning.h"
#include "tests/support/TestFolder.h"

#include <QFile>
#include <QSet>
#include <QTest>

class SheetHeadersTest : public QObject {
    Q_OBJECT

private slots:
    void shouldKnowTheHeadersOfChineseProgramsAndOffices_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("role");
        QTest::addColumn<int>("column");  // for Column: the ContactText; else -1
        QTest::addColumn<QString>("label");
        const int none = -1, phone = int(ContactText::Phone), name = int(ContactText::Name);
        const auto row = [](const char* tag, const char* header, HeaderRole role, int column, const char* label) {
            QTest::newRow(tag) << QString::fromUtf8(header) << int(role) << column << QString::fromUtf8(label);
        };
        row("outlook given", "名", HeaderRole::NameGiven, none, "名");
        row("outlook family", "姓", HeaderRole::NameFamily, none, "姓");
        row("outlook mobile", "移动电话", HeaderRole::Column, phone, "手机");
        row("outlook numbered blank", "商务电话 2", HeaderRole::Column, phone, "商务电话");
        row("outlook without blank", "商务电话2", HeaderRole::Column, phone, "商务电话");
        row("outlook address block", "商务地址 市/县", HeaderRole::AddressPart, none, "地址");
        row("outlook short block", "商务市/县", HeaderRole::AddressPart, none, "地址");
        row("outlook mail", "电子邮件 2 地址", HeaderRole::Extra, none, "邮箱");
        row("outlook filler column", "敏感度", HeaderRole::Extra, none, "敏感度");
        row("thunderbird family", "姓氏", HeaderRole::NameFamily, none, "姓");
        row("thunderbird display", "显示名称", HeaderRole::Column, name, "姓名");
        row("thunderbird birth year", "出生年份", HeaderRole::BirthdayPart, none, "生日");
        row("thunderbird city", "城市", HeaderRole::AddressPart, none, "地址");
        row("common mobile", "手机号码", HeaderRole::Column, phone, "手机");
        row("common wechat", "微信号", HeaderRole::Extra, none, "微信");
        row("common email", "E-mail", HeaderRole::Extra, none, "邮箱");
        row("common row number", "序号", HeaderRole::Ignored, none, "序号");
        row("traditional mobile", "行動電話", HeaderRole::Column, phone, "手机");
        row("traditional note", "備註", HeaderRole::Column, int(ContactText::Note), "备注");
        row("english case and blanks", "  MOBILE   phone ", HeaderRole::Column, phone, "手机");
        row("english birth day is no birthday", "Birth Day", HeaderRole::BirthdayPart, none, "生日");
        row("google numbered", "Phone 3 - Value", HeaderRole::Column, phone, "电话");
        row("unknown", "工号", HeaderRole::Unknown, none, "工号");
    }
    void shouldKnowTheHeadersOfChineseProgramsAndOffices()
    {
        QFETCH(QString, header);
        QFETCH(int, role);
        QFETCH(int, column);
        QFETCH(QString, label);
        const HeaderMeaning m = headerMeaning(header);
        QCOMPARE(int(m.role), role);
        if (column >= 0)
            QCOMPARE(int(m.column), column);
        QCOMPARE(m.label, label);
    }

    void shouldGiveEveryHeaderAKeyOfItsOwn()
    {
        QSet<QString> keys;
        for (const QString& header : knownHeaders()) {
            const QString key = headerKey(header);
            QVERIFY2(!keys.contains(key), qPrintable(header));
            keys.insert(key);
        }
    }

    void shouldListEveryHeaderInTheFormatsPage()
    {
        QFile readme(TestFolder::sourcePath(QStringLiteral("docs/formats.md")));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(readme.readAll());
        const qsizetype start = text.indexOf(QStringLiteral("## Column names the imports understand"));
        QVERIFY(start >= 0);
        const QString section = text.mid(start, text.indexOf(QStringLiteral("\n## "), start + 3) - start);
        for (const QString& header : knownHeaders())
            QVERIFY2(section.contains(QStringLiteral("`%1`").arg(header)), qPrintable(header));
    }

    void shouldTakeOutlooksFillersAsEmpty()
    {
        for (const char* filler : {"普通", "中", "未指定", "False", "0/0/00", "0:00:00", "Normal"})
            QVERIFY2(isFillerValue(QString::fromUtf8(filler)), filler);
        for (const char* value : {"中国", "True", "0/0/01", "高"})
            QVERIFY2(!isFillerValue(QString::fromUtf8(value)), value);
    }
};

QTEST_GUILESS_MAIN(SheetHeadersTest)
#include "test_sheet_headers.moc"
