#include "exchange/csv/CsvReader.h"
#include "exchange/csv/CsvWriter.h"
#include "platform/Gbk.h"
#include "tests/exchange/SheetSamples.h"
#include "tests/support/TestFolder.h"

#include <QTest>

namespace {

// The message of the ExchangeError the call raises; fails the test when it raises none.
template <typename Call>
QString errorOf(Call call)
{
    try {
        call();
    } catch (const ExchangeError& e) {
        return e.message();
    }
    return QStringLiteral("(no error)");
}

}  // namespace

class CsvTest : public QObject {
    Q_OBJECT

private slots:
    void shouldWriteBomCrlfHeaderAndQuoteOnlyWhereNeeded()
    {
        const QByteArray bytes = csvBytes(
            {storedContact({"朋友", "张三", "1990-01-02", "013800138000", "10001", "北京,海淀", "说\"你好\"\n再见"})});
        QCOMPARE(bytes, QByteArray("\xEF\xBB\xBF")
                            + QStringLiteral(
                                  "类别,姓名,生日,电话,QQ,地址,备注\r\n"
                                  "朋友,张三,1990-01-02,013800138000,10001,\"北京,海淀\",\"说\"\"你好\"\"\n再见\"\r\n")
                                  .toUtf8());
    }

    void shouldGiveTheLabelledValuesColumnsOfTheirOwn()
    {
        StoredContact zhang = storedContact({"", "张三", "", "13800138000", "", "", "老同学；邮箱:a@b.cn；手机:139 1"});
        zhang.kept = {{QStringLiteral("邮箱"), QStringLiteral("kept@b.cn")}};
        const QByteArray bytes = csvBytes({zhang, storedContact({"", "李四", "", "", "", "", "单位:华为"})});
        QCOMPARE(bytes, QByteArray("\xEF\xBB\xBF")
                            + QStringLiteral("类别,姓名,生日,电话,QQ,地址,备注,邮箱,邮箱,手机,单位\r\n"
                                             ",张三,,13800138000,,,老同学,a@b.cn,kept@b.cn,139 1,\r\n"
                                             ",李四,,,,,,,,,华为\r\n")
                                  .toUtf8());
        // Read back, every value is where the import put it the first time.
        const DraftSet set = readCsvBytes(bytes, "x.csv");
        QCOMPARE(extrasOf(set.drafts[0]), QStringLiteral("邮箱=a@b.cn|邮箱=kept@b.cn|手机=139 1"));
        QCOMPARE(set.drafts[0].text(ContactText::Note), QStringLiteral("老同学"));
        QCOMPARE(extrasOf(set.drafts[1]), QStringLiteral("单位=华为"));
    }

    void shouldGiveBackTheSameTextsAfterARoundTrip()
    {
        const QList<StoredContact> contacts{
            storedContact({"同事", "欧阳修", "", "+86 138-0013-8000", "00123", "", "a,b;c\t\"d\"\r\ne"}),
            storedContact({"", "John Smith", "--", "", "", "Line 1\nLine 2", ""}),
            storedContact({"家人", "李四", "3月5日", "", "", "上海", "　全角空格　"}),
        };
        TestFolder folder;
        const QString path = folder.file("book.csv");
        writeCsvFile(path, contacts);
        const DraftSet set = readCsvFile(path);
        QCOMPARE(set.failures.size(), 0);
        QCOMPARE(set.drafts.size(), contacts.size());
        for (int i = 0; i < contacts.size(); ++i) {
            QCOMPARE(textsOf(set.drafts[i]), textsOf(contacts[i]));
            QVERIFY(set.drafts[i].extras.isEmpty());
        }
        QCOMPARE(set.drafts[0].line, 2);
        QCOMPARE(set.drafts[1].line, 4);  // line breaks inside quotes count
        QCOMPARE(set.drafts[2].line, 6);
    }

    void shouldReadTheEncodingsExcelAndOthersSave_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = QStringLiteral("姓名,电话\r\n王五,139\r\n");
        QTest::newRow("utf-8 with bom") << QByteArray("\xEF\xBB\xBF") + text.toUtf8();
        QTest::newRow("utf-8") << text.toUtf8();
        QTest::newRow("gbk") << toGbk(text);
        QTest::newRow("utf-16le with bom")
            << QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    }
    void shouldReadTheEncodingsExcelAndOthersSave()
    {
        QFETCH(QByteArray, bytes);
        const DraftSet set = readCsvBytes(bytes, "x.csv");
        QCOMPARE(set.drafts.size(), 1);
        QCOMPARE(set.drafts[0].text(ContactText::Name), QStringLiteral("王五"));
        QCOMPARE(set.drafts[0].text(ContactText::Phone), QStringLiteral("139"));
    }

    void shouldTakeTheSeparatorTheHeaderLineShows_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("comma") << QStringLiteral("姓名,住址,备注\n赵六,\"a;b\",c\td\n");
        QTest::newRow("semicolon") << QStringLiteral("姓名;住址;备注\n赵六;\"a;b\";c\td\n");
        QTest::newRow("tab") << QStringLiteral("姓名\t住址\t备注\n赵六\t\"a;b\"\t\"c\td\"\n");
    }
    void shouldTakeTheSeparatorTheHeaderLineShows()
    {
        QFETCH(QString, text);
        const DraftSet set = readCsvBytes(text.toUtf8(), "x.csv");
        QCOMPARE(set.drafts.size(), 1);
        QCOMPARE(textsOf(set.drafts[0]), (QStringList{"", "赵六", "", "", "", "a;b", "c\td"}));
    }

    void shouldReadQuotesAsRfc4180AndLenientlyBeyond_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("note");
        QTest::newRow("doubled quotes") << QByteArray("\"a\"\"b\",\"\"\"\"") << "a\"b"
                                        << "\"";
        QTest::newRow("quote inside unquoted") << QByteArray("a\"b,c") << "a\"b"
                                               << "c";
        QTest::newRow("text after closing quote") << QByteArray("\"a\"b,c") << "ab"
                                                  << "c";
        QTest::newRow("crlf inside quotes") << QByteArray("x,\"1\r\n2\"") << "x"
                                            << "1\r\n2";
        QTest::newRow("lone cr ends the record") << QByteArray("x,y\rz,w") << "x"
                                                 << "y";
        QTest::newRow("empty quoted") << QByteArray("\"\",n") << ""
                                      << "n";
    }
    void shouldReadQuotesAsRfc4180AndLenientlyBeyond()
    {
        QFETCH(QByteArray, row);
        QFETCH(QString, name);
        QFETCH(QString, note);
        const DraftSet set = readCsvBytes("Name,Notes\n" + row + "\n", "x.csv");
        QVERIFY(!set.drafts.isEmpty());
        QCOMPARE(set.drafts[0].text(ContactText::Name), name);
        QCOMPARE(set.drafts[0].text(ContactText::Note), note);
    }

    void shouldReportAnUnclosedQuoteAndKeepTheRowsBefore()
    {
        const DraftSet set = readCsvBytes("姓名,备注\n甲,1\n\n乙,\"没有结束\n丙,3\n", "x.csv");
        QCOMPARE(set.drafts.size(), 1);
        QCOMPARE(set.drafts[0].text(ContactText::Name), QStringLiteral("甲"));
        QCOMPARE(set.failures.size(), 1);
        QCOMPARE(set.failures[0].line, 4);
        QVERIFY(set.failures[0].reason.contains(QStringLiteral("引号")));
    }

    void shouldReadGoogleContactsWithChineseNames()
    {
        const QByteArray google = "Name,Given Name,Additional Name,Family Name,Birthday,Notes,Group Membership,E-mail "
                                  "1 - Type,E-mail 1 - Value,"
                                  "Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,Phone 2 - Value,Address 1 - "
                                  "Type,Address 1 - Formatted,Address 1 - City\n"
                                  + QStringLiteral("王小明,小明,,王,1990-01-02,老同学,同学 ::: * myContacts,* "
                                                   "Home,wxm@example.com,Mobile,138 0013 8000 ::: 139 0000 0000,"
                                                   "Work,010-6666,Home,\"北京市\n海淀区\",北京\n"
                                                   ",四,,李,--03-05,,* myContacts,,,,,,,,,\n"
                                                   ",San,,Zhang,,,Friends ::: Family,,,,,,,,,\n")
                                        .toUtf8();
        const DraftSet set = readCsvBytes(google, "google.csv");
        QCOMPARE(set.drafts.size(), 3);
        QCOMPARE(textsOf(set.drafts[0]),
                 (QStringList{"同学", "王小明", "1990-01-02", "138 0013 8000", "", "北京市\n海淀区", "老同学"}));
        QCOMPARE(extrasOf(set.drafts[0]), QStringLiteral("邮箱=wxm@example.com|电话=139 0000 0000|电话=010-6666"));
        QCOMPARE(textsOf(set.drafts[1]), (QStringList{"", "李四", "03-05", "", "", "", ""}));
        QCOMPARE(set.drafts[2].text(ContactText::Name), QStringLiteral("San Zhang"));
        QCOMPARE(set.drafts[2].text(ContactText::Category), QStringLiteral("Friends"));
        QCOMPARE(extrasOf(set.drafts[2]), QStringLiteral("分组=Family"));
    }

    void shouldReadOutlookContactsWithChineseNames()
    {
        const QByteArray outlook =
            "First Name,Middle Name,Last Name,Title,Business Street,Business City,Business State,Home Street,Home City,"
            "Home State,Home Postal Code,Business Phone,Home Phone,Mobile Phone,Birthday,Categories,E-mail Address,"
            "E-mail Type,Notes,Priority,Private,Sensitivity,Initials\n"
            + QStringLiteral("三,,张,,中关村大街1号,北京市,,人民路2号,杭州市,浙江省,310000,010-1111,0571-2222,"
                             "13800138000,1/2/1990,"
                             "同事;朋友,zs@example.com,SMTP,备注,Normal,False,Normal,Z.S.\n"
                             "John,Q,Public,Dr.,,,,,,,,,,,0/0/00,,,,,High,False,Normal,J.Q.P.\n")
                  .toUtf8();
        const DraftSet set = readCsvBytes(outlook, "outlook.csv");
        QCOMPARE(set.drafts.size(), 2);
        QCOMPARE(textsOf(set.drafts[0]),
                 (QStringList{"同事", "张三", "1/2/1990", "13800138000", "", "浙江省杭州市人民路2号", "备注"}));
        QCOMPARE(extrasOf(set.drafts[0]), QStringLiteral("邮箱=zs@example.com|邮编=310000|分组=朋友|住宅电话=0571-2222|"
                                                         "工作电话=010-1111|地址=北京市中关村大街1号"));
        QCOMPARE(textsOf(set.drafts[1]), (QStringList{"", "John Q Public", "", "", "", "", ""}));
        QCOMPARE(extrasOf(set.drafts[1]), QStringLiteral("Title=Dr.|Priority=High"));
    }

    void shouldKeepUnknownColumnsAndCellsBeyondTheHeaderAsExtras()
    {
        const DraftSet set =
            readCsvBytes(QStringLiteral("姓名,住址,地址,微信,\n甲,旧址,新址,wx1,x,y\n").toUtf8(), "x.csv");
        QCOMPARE(set.drafts.size(), 1);
        QCOMPARE(set.drafts[0].text(ContactText::Address), QStringLiteral("新址"));
        QCOMPARE(extrasOf(set.drafts[0]), QStringLiteral("微信=wx1|第5列=x|第6列=y|地址=旧址"));
    }

    void shouldRefuseAHeaderWithoutKnownColumnsListingWhatItFound()
    {
        const QString message = errorOf([] { readCsvBytes("Foo,Bar,Phone 1 - Type\n1,2,3\n", "odd.csv"); });
        QVERIFY2(message.contains("odd.csv") && message.contains(QStringLiteral("Foo、Bar、Phone 1 - Type")),
                 qPrintable(message));
        QVERIFY_THROWS_EXCEPTION(ExchangeError, readCsvBytes("\n \n", "empty.csv"));
    }

    void shouldSayWhyAFileCannotBeRead()
    {
        TestFolder folder;
        const QString message = errorOf([&] { readCsvFile(folder.file("missing.csv")); });
        QVERIFY2(message.contains(QStringLiteral("文件不存在")), qPrintable(message));
        QVERIFY_THROWS_EXCEPTION(ExchangeError, readCsvFile(folder.path()));
    }

    void shouldSayWhenTheFileCannotBeWritten()
    {
        TestFolder folder;
        const QString message = errorOf([&] { writeCsvFile(folder.file("missing-folder/book.csv"), {}); });
        QVERIFY2(message.contains("book.csv") && message.contains(QStringLiteral("无法写入")), qPrintable(message));
    }
};

QTEST_GUILESS_MAIN(CsvTest)
#include "test_csv.moc"
