#include "exchange/xls/Isolated.h"
#include "exchange/xls/XlsReader.h"
#include "exchange/xlsx/XlsxReader.h"
#include "export/XlsExport.h"
#include "store/ADODB.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "tests/exchange/SheetSamples.h"
#include "tests/support/TestFolder.h"

#include <QFile>
#include <QTest>

namespace {

// The window's own export of a few records, written by ExportToXls from a real book.
class WindowExport {
public:
    WindowExport()
    {
        const QString path = folder.databasePath();
        if (!CreateJetDatabase(path, ContactSchema::DatabasePassword())
            || !OpenJetDatabase(connection, path, ContactSchema::DatabasePassword()))
            throw std::runtime_error("cannot create the test database");
        query.Connection = &connection;
        if (!RunSqlScript(query, {ContactSchema::CreateContactTable()})
            || !OpenTable(query, ContactSchema::ContactTable()))
            throw std::runtime_error("cannot create the contact table");
    }
    void add(const QVariantList& values) { query.AppendRecord(values); }
    QString exportTo(const QString& name)
    {
        const QString file = folder.file(name);
        if (!ExportToXls(query, file, ContactTextColumns()))
            throw std::runtime_error("the export failed");
        return file;
    }

    TestFolder folder;
    TADOConnection connection;
    TADOQuery query;
};

}  // namespace

class XlsImportTest : public QObject {
    Q_OBJECT

private slots:
    void shouldReadTheWindowsOwnExportBack()
    {
        WindowExport book;
        book.add({"同事", "欧阳修", "1990-01-02", "13800138000", "10001", "北京市海淀区", "备注"});
        book.add({QVariant(), "abc", QVariant(), QVariant(), "007"});
        book.add({"家人", "张三", "3月5日", "010-1234", QVariant(), "上海", "长备注,带逗号"});
        const DraftSet set = readXlsFile(book.exportTo("book.xls"));
        QCOMPARE(set.failures.size(), 0);
        QCOMPARE(set.drafts.size(), 3);
        QCOMPARE(textsOf(set.drafts[0]),
                 (QStringList{"同事", "欧阳修", "1990-01-02", "13800138000", "10001", "北京市海淀区", "备注"}));
        QCOMPARE(textsOf(set.drafts[1]), (QStringList{"", "abc", "", "", "007", "", ""}));
        QCOMPARE(textsOf(set.drafts[2]),
                 (QStringList{"家人", "张三", "3月5日", "010-1234", "", "上海", "长备注,带逗号"}));
        QCOMPARE(set.drafts[2].line, 4);
    }

    void shouldKeepTheRowsOfAnExportCutShortAndSaySo()
    {
        WindowExport book;
        for (int i = 0; i < 3; ++i)
            book.add({"朋友", QStringLiteral("人%1").arg(i)});
        QByteArray bytes = TestFolder::readAll(book.exportTo("book.xls"));
        bytes.chop(4 + 10);  // the EOF record and part of the last cell
        const DraftSet set = readXlsBytes(bytes, "cut.xls");
        QCOMPARE(set.drafts.size(), 3);
        QCOMPARE(set.drafts[2].text(ContactText::Name), QStringLiteral("人2"));
        QCOMPARE(set.failures.size(), 1);
        QCOMPARE(set.failures[0].line, 5);
    }

    void shouldReadAWorkbookExcelsFormatWriterMade()
    {
        // Made by python3-xlwt (see data/make_samples.py): BIFF8 in an OLE2 container.
        const DraftSet set =
            readXlsFile(TestFolder::sourcePath(QStringLiteral(TESSALY_EXCHANGE_DATA "/xlwt_contacts.xls")));
        QCOMPARE(set.failures.size(), 0);
        QCOMPARE(set.drafts.size(), 2);
        QCOMPARE(textsOf(set.drafts[0]), (QStringList{"同事", "欧阳修", "1990-01-02", "13800138000", "123456789",
                                                      "北京市海淀区", "第一行\n第二行"}));
        QCOMPARE(textsOf(set.drafts[1]), (QStringList{"", "Zhang San", "", "010-12345678", "1.5", "", ""}));
        QCOMPARE(set.drafts[1].line, 3);
        // The same bytes from memory.
        const DraftSet again = readXlsBytes(
            TestFolder::readAll(TestFolder::sourcePath(QStringLiteral(TESSALY_EXCHANGE_DATA "/xlwt_contacts.xls"))),
            "x.xls");
        QCOMPARE(textsOf(again.drafts[0]), textsOf(set.drafts[0]));
    }

    void shouldReadAWorkbookSavedUnderTheOtherName()
    {
        const QByteArray xls =
            TestFolder::readAll(TestFolder::sourcePath(QStringLiteral(TESSALY_EXCHANGE_DATA "/xlwt_contacts.xls")));
        const QByteArray xlsx = TestFolder::readAll(
            TestFolder::sourcePath(QStringLiteral(TESSALY_EXCHANGE_DATA "/openpyxl_contacts.xlsx")));
        QCOMPARE(readXlsxBytes(xls, "named.xlsx").drafts.size(), 2);
        QCOMPARE(readXlsBytes(xlsx, "named.xls").drafts.size(), 2);
    }

    void shouldReadACompanyDirectoryWithTitleSectionsAndARepeatedHeader_data()
    {
        QTest::addColumn<QString>("file");
        // Made by data/make_chinese_samples.py with python3-xlwt and python3-openpyxl.
        QTest::newRow("xls") << TestFolder::sourcePath(QStringLiteral(TESSALY_EXCHANGE_DATA "/directory.xls"));
        QTest::newRow("xlsx") << TestFolder::sourcePath(QStringLiteral(TESSALY_EXCHANGE_DATA "/directory.xlsx"));
    }
    void shouldReadACompanyDirectoryWithTitleSectionsAndARepeatedHeader()
    {
        QFETCH(QString, file);
        const DraftSet set = file.endsWith(QLatin1String(".xls")) ? readXlsFile(file) : readXlsxFile(file);
        QStringList names;
        for (const ContactDraft& d : set.drafts)
            names.append(d.text(ContactText::Name));
        QCOMPARE(names, (QStringList{"张伟", "李娜", "王芳", "刘洋"}));
        QCOMPARE(set.drafts[0].line, 5);
        QCOMPARE(set.drafts[0].text(ContactText::Phone), QStringLiteral("13800138000"));
        QCOMPARE(extrasOf(set.drafts[0]), QStringLiteral("职务=经理|邮箱=zhangwei@example.com|办公电话=010-62345678"));
        QCOMPARE(set.notes,
                 (QStringList{QStringLiteral("表头在第 3 行，其上的 1 行不是联系人，未导入：某某公司通讯录"),
                              QStringLiteral("跳过分节行 2 行（第 4 行 研发部、第 8 行 市场部），重复的表头 1 行（第 9 "
                                             "行），空行 1 行，不是联系人")}));
    }

    void shouldNameWhatAFileLooksLikeWhenItIsNoWorkbook()
    {
        const QByteArray csv = QStringLiteral("姓名,电话\n张三,1\n").toUtf8();
        const QByteArray jpeg("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11);
        for (const auto& sample : {std::pair{csv, QStringLiteral("看起来是 文本文件")},
                                   std::pair{jpeg, QStringLiteral("看起来是 JPEG 图片")}}) {
            const QByteArray& bytes = sample.first;  // a lambda may not capture a structured binding
            const QString& looks = sample.second;
            for (const QString& message :
                 {errorOf([&] { readXlsBytes(bytes, "a.xls"); }), errorOf([&] { readXlsxBytes(bytes, "a.xlsx"); })})
                QVERIFY2(message.contains(looks), qPrintable(message));
        }
    }

    void shouldHandBackWhatAnIsolatedReaderReadsAndSurviveItsCrash()
    {
        // More than a pipe holds at once, so the parent must read while the child writes.
        SheetRows many;
        for (int r = 0; r < 20000; ++r)
            many.rows.append({r + 1, {{0, QStringLiteral("王五%1").arg(r)}, {3, QStringLiteral("138")}}});
        many.failures.append({7, QStringLiteral("原因")});
        const SheetRows back = runIsolated("x.xls", [&] { return many; });
        QCOMPARE(back.rows.size(), many.rows.size());
        QCOMPARE(back.rows.last().line, 20000);
        QCOMPARE(back.rows.last().cells[1].column, 3);
        QCOMPARE(back.rows.last().cells[0].text, QStringLiteral("王五19999"));
        QCOMPARE(back.failures.size(), 1);
        QCOMPARE(back.failures[0].reason, QStringLiteral("原因"));

        try {
            runIsolated("refused.xls", []() -> SheetRows { throw ExchangeError(QStringLiteral("工作簿有密码保护")); });
            QFAIL("no error");
        } catch (const ExchangeError& e) {
            QCOMPARE(e.Message, QStringLiteral("工作簿有密码保护"));
        }
        try {
            runIsolated("crash.xls", []() -> SheetRows { std::abort(); });
            QFAIL("no error");
        } catch (const ExchangeError& e) {
            QVERIFY2(e.Message.contains("crash.xls") && e.Message.contains(QStringLiteral("已损坏")),
                     qPrintable(e.Message));
        }
    }

    void shouldRefuseWhatIsNoSpreadsheet_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("类别,姓名\n");
        QTest::newRow("damaged container")
            << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, '\x01');
        QTest::newRow("export without header") << QByteArray::fromHex("0908080000001000000000000a000000");
    }
    void shouldRefuseWhatIsNoSpreadsheet()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY_THROWS_EXCEPTION(ExchangeError, readXlsBytes(bytes, "bad.xls"));
    }
};

QTEST_GUILESS_MAIN(XlsImportTest)
#include "test_xls_import.moc"
