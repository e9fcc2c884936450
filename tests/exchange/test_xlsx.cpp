#include "exchange/sheet/CellNumber.h"
#include "exchange/xlsx/XlsxReader.h"
#include "exchange/xlsx/XlsxSheet.h"
#include "exchange/xlsx/XlsxWriter.h"
#include "exchange/xlsx/ZipArchive.h"
#include "platform/TextRules.h"
#include "tests/exchange/SheetSamples.h"
#include "tests/support/TestFolder.h"

#include <QFile>
#include <QTest>
#include <cmath>
#include <xlsxwriter.h>
#include <zip.h>

class XlsxTest : public QObject {
    Q_OBJECT

private slots:
    void shouldGiveBackTheSameTextsAfterARoundTrip()
    {
        const QList<StoredContact> contacts{
            storedContact({"同事", "欧阳修", "1990-01-02", "013800138000", "00123", "北京市海淀区", "第一行\n第二行"}),
            storedContact({"", "John <Smith> & Co", "", "13800138000", "", "",
                           "a_x0041_b\x01"
                           "c"}),
            storedContact({"家人", "李四", "3月5日", "1.38E+10", "", "", ""}),
        };
        TestFolder folder;
        const QString path = folder.file("book.xlsx");
        writeXlsxFile(path, contacts);
        const DraftSet set = readXlsxFile(path);
        QCOMPARE(set.drafts.size(), contacts.size());
        for (int i = 0; i < contacts.size(); ++i)
            QCOMPARE(textsOf(set.drafts[i]), textsOf(contacts[i]));
        QCOMPARE(set.drafts[2].line, 4);
    }

    void shouldWriteOneTextSheetWithABoldFrozenHeaderAndFittingWidths()
    {
        TestFolder folder;
        const QString path = folder.file("book.xlsx");
        writeXlsxFile(path,
                      {storedContact({"同事", "欧阳修", "", "13800138000", "", "北京市海淀区中关村大街一号", ""})});
        const QByteArray bytes = TestFolder::readAll(path);
        const ZipArchive zip(bytes, path);
        QVERIFY(QString::fromUtf8(zip.read("xl/workbook.xml")).contains(QStringLiteral("name=\"通讯录\"")));
        const QString sheet = QString::fromUtf8(zip.read("xl/worksheets/sheet1.xml"));
        QVERIFY(sheet.contains("<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"));
        QVERIFY(!sheet.contains("<v>"));  // no number cells: every value is a string
        QVERIFY(sheet.contains(QStringLiteral("<is><t>13800138000</t></is>")));
        // 地址: thirteen Chinese characters count 26, and room beside.
        QVERIFY2(sheet.contains("<col min=\"6\" max=\"6\" width=\"28.7109375\""), qPrintable(sheet.left(900)));
        const QString styles = QString::fromUtf8(zip.read("xl/styles.xml"));
        QVERIFY(styles.contains("<b/>"));
        QVERIFY2(styles.contains("numFmtId=\"49\""), qPrintable(styles));  // the text format "@"
    }

    void shouldFitColumnWidthsCountingWideCharactersTwice_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::newRow("latin") << "abc" << 3;
        QTest::newRow("chinese") << "欧阳修" << 6;
        QTest::newRow("mixed with full-width digits") << "QQ１２" << 6;
        QTest::newRow("beyond the basic plane") << "𠀀a" << 3;
    }
    void shouldFitColumnWidthsCountingWideCharactersTwice()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QCOMPARE(DisplayWidth(text), width);
        QCOMPARE(xlsxColumnWidth({text, "x"}), width + 2.0);
        QCOMPARE(xlsxColumnWidth({QString(200, QLatin1Char('x'))}), 60.0);
    }

    void shouldReadAWorkbookOpenpyxlMade()
    {
        // Made by python3-openpyxl (see data/make_samples.py): shared strings, numbers, a date style, two sheets.
        const DraftSet set =
            readXlsxFile(TestFolder::sourcePath(QStringLiteral(TESSALY_EXCHANGE_DATA "/openpyxl_contacts.xlsx")));
        QCOMPARE(set.drafts.size(), 2);
        QCOMPARE(textsOf(set.drafts[0]), (QStringList{"朋友", "司马光", "1985-12-31", "13912345678", "10001",
                                                      "上海市浦东新区", "备注,带逗号"}));
        QCOMPARE(set.drafts[0].extras.size(), 1);
        QCOMPARE(set.drafts[0].extras[0].label, QStringLiteral("邮箱"));
        QCOMPARE(set.drafts[0].extras[0].value, QStringLiteral("sima@example.com"));
        QCOMPARE(textsOf(set.drafts[1]), (QStringList{"", "李四", "3月5日", "0755-1234567", "", "", ""}));
    }

    void shouldReadNumbersAndDatesAsTheSheetShowsThem()
    {
        // A workbook libxlsxwriter makes with shared strings, as Excel saves: a phone
        // stored as a number, a date, a boolean and a formula's cached text.
        TestFolder folder;
        const QString path = folder.file("numbers.xlsx");
        lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
        lxw_worksheet* sheet = workbook_add_worksheet(book, "Sheet1");
        lxw_format* date = workbook_add_format(book);
        format_set_num_format(date, "yyyy\"年\"m\"月\"d\"日\"");
        const char* header[] = {"姓名", "电话", "生日", "QQ", "备注", "Flag"};
        for (int c = 0; c < 6; ++c)
            worksheet_write_string(sheet, 0, c, header[c], nullptr);
        worksheet_write_string(sheet, 1, 0, "王五", nullptr);
        worksheet_write_number(sheet, 1, 1, 13800138000.0, nullptr);
        worksheet_write_number(sheet, 1, 2, 32875, date);  // 1990-01-02
        worksheet_write_number(sheet, 1, 3, 123456789012.0, nullptr);
        worksheet_write_formula_str(sheet, 1, 4, "=\"a\"&\"b\"", nullptr, "ab");
        worksheet_write_boolean(sheet, 1, 5, 1, nullptr);
        QCOMPARE(workbook_close(book), LXW_NO_ERROR);
        const DraftSet set = readXlsxFile(path);
        QCOMPARE(set.drafts.size(), 1);
        QCOMPARE(textsOf(set.drafts[0]),
                 (QStringList{"", "王五", "1990-01-02", "13800138000", "123456789012", "", "ab"}));
        QCOMPARE(set.drafts[0].extras.size(), 1);
        QCOMPARE(set.drafts[0].extras[0].value, QStringLiteral("TRUE"));
    }

    void shouldShowNumbersWithoutExponent_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("mobile") << 13800138000.0 << "13800138000";
        QTest::newRow("qq") << 123456789.0 << "123456789";
        QTest::newRow("fraction") << 1.5 << "1.5";
        QTest::newRow("binary fraction") << 0.1 + 0.2 << "0.3";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("small") << 0.000012 << "0.000012";
        QTest::newRow("negative") << -42.25 << "-42.25";
        QTest::newRow("not a number") << std::nan("") << "";
    }
    void shouldShowNumbersWithoutExponent()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(numberText(value), text);
    }

    void shouldShowDateSerialsAsDates_data()
    {
        QTest::addColumn<double>("serial");
        QTest::addColumn<bool>("system1904");
        QTest::addColumn<QString>("text");
        QTest::newRow("first day") << 1.0 << false << "1900-01-01";
        QTest::newRow("before the phantom leap day") << 59.0 << false << "1900-02-28";
        QTest::newRow("phantom leap day") << 60.0 << false << "1900-02-29";
        QTest::newRow("after it") << 61.0 << false << "1900-03-01";
        QTest::newRow("birthday") << 32875.0 << false << "1990-01-02";
        QTest::newRow("with time") << 32875.5 << false << "1990-01-02 12:00";
        QTest::newRow("time alone") << 0.75 << false << "18:00";
        QTest::newRow("1904 system") << 0.0 << true << "1904-01-01";
        QTest::newRow("out of range") << 3e6 << false << "3000000";
    }
    void shouldShowDateSerialsAsDates()
    {
        QFETCH(double, serial);
        QFETCH(bool, system1904);
        QFETCH(QString, text);
        QCOMPARE(serialDateText(serial, system1904), text);
    }

    void shouldTellDateFormatsFromNumberFormats_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("date");
        QTest::newRow("general") << "General" << false;
        QTest::newRow("scientific") << "0.00E+00" << false;
        QTest::newRow("quoted letters") << "0\" days\"" << false;
        QTest::newRow("escaped letter") << "0\\d" << false;
        QTest::newRow("colour") << "[Red]0.00" << false;
        QTest::newRow("chinese date") << "yyyy\"年\"m\"月\"d\"日\"" << true;
        QTest::newRow("locale prefix") << "[$-804]yyyy/m/d" << true;
        QTest::newRow("elapsed hours") << "[h]:mm" << true;
    }
    void shouldTellDateFormatsFromNumberFormats()
    {
        QFETCH(QString, code);
        QFETCH(bool, date);
        QCOMPARE(isDateFormatCode(code), date);
    }

    // The fast sheet reader reads what it takes exactly as QXmlStreamReader
    // does, and gives up on anything else (well-formed or not) for it.
    void shouldReadSheetsFastOnlyWhereItReadsThemAlike_data()
    {
        QTest::addColumn<QByteArray>("body");  // inside <sheetData>
        QTest::addColumn<bool>("fast");
        const QByteArray row = R"(<row r="1"><c r="A1" t="inlineStr"><is><t>)";
        QTest::newRow("entities") << row + "a&amp;b&lt;&#x4E2D;&#22269;&quot;&apos;&gt;</t></is></c></row>" << true;
        QTest::newRow("runs and phonetics")
            << row + R"(</t></is></c><c t="inlineStr"><is><r><rPr><b/></rPr><t xml:space="preserve"> 王 </t></r><rPh sb="0"><t>wang</t></rPh></is></c></row>)"
            << true;
        QTest::newRow("empty elements and quotes") << QByteArray(
            R"(<row r='2' spans = "1:3" x14ac:dyDescent="0.25"><c r="A2" s="1"/><c r='B2' ><v>42</v></c><c><v/></c></row><row r="5"/>)")
                                                   << true;
        QTest::newRow("shared, formula, boolean") << QByteArray(
            R"(<row><c t="s"><v> 0 </v></c><c t="str"><f>A1&amp;"x"</f><v>a_x000D_b</v></c><c t="b"><v>1</v></c></row>)")
                                                  << true;
        QTest::newRow("line feed and tab") << row + "a\n\tb</t></is></c></row>" << true;
        QTest::newRow("carriage return") << row + "a\r\nb</t></is></c></row>" << false;
        QTest::newRow("comment") << row + "x</t></is></c></row><!-- x -->" << false;
        QTest::newRow("cdata") << row + "<![CDATA[a<b]]></t></is></c></row>" << false;
        QTest::newRow("child in text") << row + "a<b/>c</t></is></c></row>" << false;
        QTest::newRow("unknown entity") << row + "&nbsp;</t></is></c></row>" << false;
        QTest::newRow("control character") << row + "a\x01</t></is></c></row>" << false;
        QTest::newRow("broken utf-8") << row + "\xE4\xB8</t></is></c></row>" << false;
        QTest::newRow("mismatched end") << row + "x</v></is></c></row>" << false;
        QTest::newRow("undeclared prefix") << QByteArray(R"(<row y:r="1"><c><v>1</v></c></row>)") << false;
        QTest::newRow("twice the same attribute") << QByteArray(R"(<row r="1" r="2"><c><v>1</v></c></row>)") << false;
        QTest::newRow("a prefix declared twice")
            << QByteArray(R"(<row xmlns:y="a" xmlns:y="b"><c><v>1</v></c></row>)") << false;
        QTest::newRow("a prefix declared below")
            << QByteArray(R"(<row xmlns:y="a" y:r="3"><c><v>1</v></c></row>)") << true;
        QTest::newRow("unquoted attribute") << QByteArray(R"(<row r=1><c><v>1</v></c></row>)") << false;
        QTest::newRow("prefixed element") << QByteArray(R"(<x14ac:row><c><v>1</v></c></x14ac:row>)") << false;
        QTest::newRow("cut off") << row + "x</t></is></c></row" << false;
    }
    void shouldReadSheetsFastOnlyWhereItReadsThemAlike()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, fast);
        const QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                               "\r\n"
                               R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
                               R"(xmlns:x14ac="http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac">)"
                               "<sheetData>"
                               + body + "</sheetData></worksheet>";
        XlsxParts parts;
        parts.sharedStrings = {QStringLiteral("共享")};
        QList<SheetRow> light, full;
        QCOMPARE(readXlsxSheetLightly(xml, parts, [&](SheetRow&& r) { light.append(r); }), fast);
        const QString error =
            errorOf([&] { readXlsxSheetFully(xml, parts, "x.xlsx", [&](SheetRow&& r) { full.append(r); }); });
        if (fast) {
            QCOMPARE(error, QStringLiteral("(no error)"));
            QVERIFY(!light.isEmpty());
            QCOMPARE(light, full);
        }
    }

    void shouldHandOnEachRowOnceWhereTheFastReaderGivesUp()
    {
        // A comment after the second contact: the fast reader gives up there,
        // and the full one reads the sheet again from its start.
        TestFolder folder;
        const QString path = folder.file("comment.xlsx");
        lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
        lxw_worksheet* sheet = workbook_add_worksheet(book, "Sheet1");
        const char* names[] = {"姓名", "张一", "张二", "张三", "张四"};
        for (int r = 0; r < 5; ++r)
            worksheet_write_string(sheet, r, 0, names[r], nullptr);
        QCOMPARE(workbook_close(book), LXW_NO_ERROR);
        int error = 0;
        zip_t* zip = zip_open(QFile::encodeName(path).constData(), 0, &error);
        QVERIFY(zip);
        const char* part = "xl/worksheets/sheet1.xml";
        zip_stat_t stat;
        QCOMPARE(zip_stat(zip, part, 0, &stat), 0);
        QByteArray xml(static_cast<qsizetype>(stat.size), '\0');
        zip_file_t* file = zip_fopen(zip, part, 0);
        QCOMPARE(zip_fread(file, xml.data(), stat.size), static_cast<zip_int64_t>(stat.size));
        zip_fclose(file);
        const qsizetype third = xml.indexOf("<row r=\"3\"");
        QVERIFY(third > 0);
        xml.insert(third, "<!-- x -->");
        zip_source_t* source = zip_source_buffer(zip, xml.constData(), static_cast<zip_uint64_t>(xml.size()), 0);
        QVERIFY(zip_file_add(zip, part, source, ZIP_FL_OVERWRITE) >= 0);
        QCOMPARE(zip_close(zip), 0);

        QVERIFY(!readXlsxSheetLightly(xml, {}, [](SheetRow&&) {}));
        const DraftSet set = readXlsxFile(path);
        QStringList read;
        for (const ContactDraft& d : set.drafts)
            read << QStringLiteral("%1 %2").arg(d.line).arg(d.text(ContactText::Name));
        QCOMPARE(read, (QStringList{"2 张一", "3 张二", "4 张三", "5 张四"}));
    }

    void shouldRefuseWhatIsNoWorkbook_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("姓名\n");
        QTest::newRow("zip without workbook") << QByteArray::fromHex("504b0506000000000000000000000000000000000000");
    }
    void shouldRefuseWhatIsNoWorkbook()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY_THROWS_EXCEPTION(ExchangeError, readXlsxBytes(bytes, "bad.xlsx"));
    }

    void shouldSayWhenTheFileCannotBeWritten()
    {
        TestFolder folder;
        QVERIFY_THROWS_EXCEPTION(ExchangeError, writeXlsxFile(folder.file("missing/book.xlsx"), {}));
        QVERIFY_THROWS_EXCEPTION(ExchangeError, writeXlsxFile(folder.path(), {}));
    }
};

QTEST_GUILESS_MAIN(XlsxTest)
#include "test_xlsx.moc"
