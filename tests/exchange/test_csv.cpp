#include "exchange/csv/CsvParser.h"
#include "exchange/csv/CsvReader.h"
#include "exchange/csv/CsvWriter.h"
#include "platform/Gbk.h"
#include "tests/exchange/SheetSamples.h"
#include "tests/support/TestFolder.h"

#include <QStringEncoder>
#include <QTest>

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

    void shouldReadTheSameRecordsWhateverPiecesTheTextComesIn()
    {
        const QString text = QStringLiteral(
            "姓名,备注\r\n\"a\"\"b\",\"x\r\ny\"\r\n\r\nc,\"\"\"\"\rd,e\n\"f\"g,\"多\n行\n字\"\r\nh,\"\"\r\n");
        const auto records = [](const std::function<int(const std::function<void(SheetRow &&)>&)>& scan) {
            QStringList out;
            out.append(QString::number(scan([&](SheetRow&& row) {
                QStringList cells;
                for (const SheetCell& c : row.cells)
                    cells.append(c.text);
                out.append(QStringLiteral("%1+%2:%3").arg(row.line).arg(row.lines).arg(cells.join(u'|')));
            })));
            return out;
        };
        const QStringList whole = records([&](const auto& take) { return scanCsv(text, take); });
        QCOMPARE(whole.size(), 7);  // six records and the result
        for (qsizetype piece : {1, 2, 3, 7}) {
            qsizetype at = 0;
            const QStringList pieces = records([&](const auto& take) {
                return scanCsv(
                    [&](QString& buffer) {
                        if (at >= text.size())
                            return false;
                        buffer += text.mid(at, piece);
                        at += piece;
                        return true;
                    },
                    take);
            });
            QCOMPARE(pieces, whole);
        }
    }

    void shouldRefuseTheWholeFileNamingTheLineWhereAnUnclosedQuoteOpens()
    {
        QByteArray csv = QStringLiteral("姓名,备注\n甲,1\n\n乙,\"没有结束\n丙,3\n").toUtf8();
        for (int i = 0; i < 73; ++i)
            csv += QStringLiteral("人%1,说明\n").arg(i).toUtf8();
        const QString message = errorOf([&] { readCsvBytes(csv, "quote.csv"); });
        QVERIFY2(message.contains(QStringLiteral("quote.csv：第 4 行起的引号没有闭合")), qPrintable(message));
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

    void shouldReadChineseOutlooksExportWithoutItsFillers()
    {
        // Made by data/make_chinese_samples.py: GBK, every field quoted, Outlook's fillers in every row.
        const DraftSet set =
            readCsvFile(TestFolder::sourcePath(QStringLiteral(TESSALY_EXCHANGE_DATA "/outlook_zh.csv")));
        QCOMPARE(set.notes.first(), QStringLiteral("编码：GB18030（自动识别）"));
        QCOMPARE(set.drafts.size(), 3);
        QCOMPARE(textsOf(set.drafts[0]),
                 (QStringList{"同事", "王建国", "", "13800138000", "", "北京市中关村大街1号", "老同事"}));
        QCOMPARE(extrasOf(set.drafts[0]), QStringLiteral("单位=某某科技有限公司|部门=研发部|职务=工程师|邮箱=wjg@"
                                                         "example.com|邮编=100080|商务电话=010-62345678"));
        QCOMPARE(textsOf(set.drafts[1]), (QStringList{"", "Lei Li", "1985/3/5", "139 1234 5678", "", "", ""}));
        QCOMPARE(extrasOf(set.drafts[1]), QStringLiteral("住宅电话=021-55556666"));
        // A given name alone is no one's whole name: it waits in 备注, and the number names the row.
        QCOMPARE(textsOf(set.drafts[2]), (QStringList{"", "13700001111", "", "13700001111", "", "", "只有名"}));
        QCOMPARE(extrasOf(set.drafts[2]), QStringLiteral("名=小红"));
    }

    void shouldReadChineseThunderbirdsExport()
    {
        // UTF-8 without BOM, 名字 the given name beside 姓氏, two address blocks sharing 城市 and 邮政编码.
        const DraftSet set =
            readCsvFile(TestFolder::sourcePath(QStringLiteral(TESSALY_EXCHANGE_DATA "/thunderbird_zh.csv")));
        QCOMPARE(set.drafts.size(), 3);
        QCOMPARE(textsOf(set.drafts[0]),
                 (QStringList{"", "王建国", "1980-03-05", "13800138000", "", "中国浙江省杭州市人民路2号", "老朋友"}));
        QCOMPARE(extrasOf(set.drafts[0]),
                 QStringLiteral("昵称=老王|邮箱=wjg@example.com|职务=工程师|部门=研发部|单位=某某科技有限公司|"
                                "邮编=310000|邮编=100080|工作电话=010-62345678|地址=中国北京市中关村大街1号"));
        QCOMPARE(set.drafts[1].text(ContactText::Name), QStringLiteral("李雷"));         // the display name wins
        QCOMPARE(set.drafts[2].text(ContactText::Name), QStringLiteral("13700001111"));  // named by its number
        QCOMPARE(extrasOf(set.drafts[2]), QStringLiteral("名字=梅梅"));
    }

    void shouldPutNamesTogetherFromTheirParts_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extras");
        QTest::newRow("han") << "王,建国,"
                             << "王建国"
                             << "";
        QTest::newRow("compound surname") << "欧阳,修,"
                                          << "欧阳修"
                                          << "";
        QTest::newRow("latin") << "Smith,John,"
                               << "John Smith"
                               << "";
        QTest::newRow("family alone") << "王,,"
                                      << "王"
                                      << "";
        QTest::newRow("given alone, the number names it") << ",建国,"
                                                          << "1"
                                                          << "名=建国";
        QTest::newRow("display name wins") << "王,建国,王小二"
                                           << "王小二"
                                           << "";
    }
    void shouldPutNamesTogetherFromTheirParts()
    {
        QFETCH(QString, row);
        QFETCH(QString, name);
        QFETCH(QString, extras);
        const DraftSet set = readCsvBytes((QStringLiteral("姓,名,显示名称,电话\n") + row + ",1\n").toUtf8(), "x.csv");
        QCOMPARE(set.drafts.size(), 1);
        QCOMPARE(set.drafts[0].text(ContactText::Name), name);
        QCOMPARE(extrasOf(set.drafts[0]), extras);
    }

    void shouldFindTheHeaderBelowTitlesAndSkipWhatIsNoContact()
    {
        const QString csv = QStringLiteral("某某公司通讯录,,,\n"
                                           "2024年3月,,,\n"
                                           "\n"
                                           "序号,姓名,职务,手机\n"
                                           "研发部,,,\n"
                                           "1,张伟,经理,13800138000\n"
                                           ",,,\n"
                                           "\n"
                                           "序号,姓名,职务,手机\n"
                                           "市场部\n"
                                           "2,李娜,,13900139000\n"
                                           "3,,,\n"
                                           "\n");
        const DraftSet set = readCsvBytes(csv.toUtf8(), "x.csv");
        QCOMPARE(set.drafts.size(), 2);
        QCOMPARE(set.drafts[0].text(ContactText::Name), QStringLiteral("张伟"));
        QCOMPARE(set.drafts[1].line, 11);
        QCOMPARE(
            set.notes,
            (QStringList{QStringLiteral("编码：UTF-8（自动识别）"),
                         QStringLiteral("表头在第 4 行，其上的 2 行不是联系人，未导入：某某公司通讯录、2024年3月"),
                         QStringLiteral("跳过分节行 2 行（第 5 行 研发部、第 10 行 市场部），重复的表头 1 行（第 9 "
                                        "行），空行 2 行，不是联系人")}));
    }

    void shouldTakeARowOfOneCellForAContactInANarrowTable()
    {
        // Our own export of a record holding only a name is no section row.
        const DraftSet set = readCsvBytes(QStringLiteral("姓名,电话\n研发部\n张三,1\n").toUtf8(), "x.csv");
        QCOMPARE(set.drafts.size(), 2);
        QCOMPARE(set.notes.size(), 1);
    }

    void shouldTellTheEncodingAndSayWhichItUsed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("secondName");
        const QString simplified = QStringLiteral("姓名,电话,地址\r\n王建国,13800138000,北京市海淀区中关村大街\r\n"
                                                  "李小红,13912345678,上海市浦东新区世纪大道\r\n");
        const QString japanese = QStringLiteral("姓名,電話,住所\r\n山田太郎,090-1234-5678,東京都新宿区西新宿二丁目\r\n"
                                                "佐藤花子,080-2345-6789,大阪府大阪市北区梅田三丁目\r\n");
        QStringEncoder sjis("Shift_JIS");
        QTest::newRow("utf-8") << simplified.toUtf8() << "编码：UTF-8（自动识别）"
                               << "李小红";
        QTest::newRow("gb18030") << toGbk(simplified) << "编码：GB18030（自动识别）"
                                 << "李小红";
        QTest::newRow("big5 file") << TestFolder::readAll(
            TestFolder::sourcePath(QStringLiteral(TESSALY_EXCHANGE_DATA "/big5_no_bom.csv")))
                                   << "编码：Big5（自动识别）"
                                   << "林美玲";
        QTest::newRow("shift_jis") << QByteArray(sjis.encode(japanese)) << "编码：Shift_JIS（自动识别）"
                                   << "佐藤花子";
        QTest::newRow("utf-16le without bom")
            << QByteArray(reinterpret_cast<const char*>(simplified.utf16()), simplified.size() * 2)
            << "编码：UTF-16LE（自动识别）"
            << "李小红";
        QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF") + simplified.toUtf8() << "编码：UTF-8（有 BOM）"
                                   << "李小红";
    }
    void shouldTellTheEncodingAndSayWhichItUsed()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, note);
        QFETCH(QString, secondName);
        const DraftSet set = readCsvBytes(bytes, "x.csv");
        QCOMPARE(set.notes.value(0), note);
        QVERIFY(set.drafts.size() >= 2);
        QCOMPARE(set.drafts[1].text(ContactText::Name), secondName);
    }

    // A file is read a megabyte at a time: a character the piece's end cuts,
    // and Chinese lines only after the first piece, are still told right.
    void shouldTellTheEncodingOfAFileLargerThanAPiece_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("note");
        const auto filledTo = [](QByteArray text, qsizetype size) {
            while (text.size() + 4 <= size - 8)
                text += "a,1\n";
            return text + QByteArray(size - text.size() - 3, 'b') + ",1\n";
        };
        const QByteArray header = QStringLiteral("姓名,电话\n").toUtf8(), last = QStringLiteral("王建国,2\n").toUtf8();
        QTest::newRow("cut after one byte") << filledTo(header, (1 << 20) - 1) + last << "编码：UTF-8（自动识别）";
        QTest::newRow("cut after two bytes") << filledTo(header, (1 << 20) - 2) + last << "编码：UTF-8（自动识别）";
        QTest::newRow("gbk after the first piece")
            << filledTo("Name,Phone\n", (1 << 20) + 10) + toGbk(QStringLiteral("王建国,2\n李小红,3\n"))
            << "编码：GB18030（自动识别）";
    }
    void shouldTellTheEncodingOfAFileLargerThanAPiece()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, note);
        TestFolder folder;
        const QString path = folder.file("large.csv");
        TestFolder::writeAll(path, bytes);
        const DraftSet set = readCsvFile(path);
        QCOMPARE(set.notes.value(0), note);
        QVERIFY(std::any_of(set.drafts.begin(), set.drafts.end(), [](const ContactDraft& d) {
            return d.text(ContactText::Name) == QStringLiteral("王建国");
        }));
    }

    void shouldReadBig5WithoutByteOrderMark()
    {
        const DraftSet set =
            readCsvFile(TestFolder::sourcePath(QStringLiteral(TESSALY_EXCHANGE_DATA "/big5_no_bom.csv")));
        QCOMPARE(set.drafts.size(), 4);
        QCOMPARE(textsOf(set.drafts[0]),
                 (QStringList{"", "陳大文", "", "02-2345-6789", "", "臺北市信義區松仁路100號", "大學同學"}));
        QCOMPARE(extrasOf(set.drafts[0]),
                 QStringLiteral("邮箱=dawen@example.com.tw|单位=臺灣積體電路|手机=0912-345-678"));
    }

    void shouldNameWhatAFileLooksLikeInsteadOfReadingItsBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("looks");
        QTest::newRow("xlsx saved as csv")
            << TestFolder::readAll(TestFolder::sourcePath(QStringLiteral(TESSALY_EXCHANGE_DATA "/directory.xlsx")))
            << "看起来是 .xlsx 工作簿";
        QTest::newRow("xls saved as csv")
            << TestFolder::readAll(TestFolder::sourcePath(QStringLiteral(TESSALY_EXCHANGE_DATA "/directory.xls")))
            << "看起来是 .xls 工作簿";
        QTest::newRow("jpeg") << QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11) << "看起来是 JPEG 图片";
        QTest::newRow("vcard") << QByteArray("BEGIN:VCARD\r\nFN:a\r\nEND:VCARD\r\n") << "看起来是 vCard 名片";
        QByteArray binary(512, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = static_cast<char>(i * 7 % 256);
        QTest::newRow("binary") << binary << "看起来是 二进制文件";
    }
    void shouldNameWhatAFileLooksLikeInsteadOfReadingItsBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, looks);
        const QString message = errorOf([&] { readCsvBytes(bytes, "named.csv"); });
        QVERIFY2(message.contains(looks) && message.contains("named.csv"), qPrintable(message));
        for (QChar c : message)
            QVERIFY2(c.unicode() >= 0x20 && c != QChar(0xFFFD), qPrintable(message));
    }

    void shouldShowNoControlCharactersOfAnUnknownHeader()
    {
        const QByteArray csv = "a\x01\x02"
                               "b,\x1b[31mred\n"
                               + QByteArray("1,2\n").repeated(100);
        const QString message = errorOf([&] { readCsvBytes(csv, "odd.csv"); });
        QVERIFY2(message.contains(QStringLiteral("a b、[31mred")), qPrintable(message));
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
