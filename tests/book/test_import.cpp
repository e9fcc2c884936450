// import: cards into the book in one transaction, the report, duplicates, dry runs.

#include "exchange/vcard/VCardWriter.h"
#include "photo/JpegCodec.h"
#include "platform/Gbk.h"
#include "store/ContactSchema.h"
#include "tests/book/BookTesting.h"
#include "tests/support/ScriptedDesktop.h"

#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QTest>

namespace {

QByteArray card(const QString& name, const QString& phone, const QString& more = {})
{
    return QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:%1\r\nTEL;TYPE=CELL:%2\r\n%3END:VCARD\r\n")
        .arg(name, phone, more)
        .toUtf8();
}

QString writeFile(const TestBook& book, const QString& name, const QByteArray& bytes)
{
    const QString path = book.folder.file(name);
    TestFolder::writeAll(path, bytes);
    return path;
}

QByteArray realJpeg()
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(qRgb(10, 120, 200));
    return CompressJpeg(image);
}

}  // namespace

class ImportTest : public QObject {
    Q_OBJECT

private slots:
    void shouldAddEveryCardAndEndWithTheCounts()
    {
        TestBook book;
        book.add({{QStringLiteral("旧"), QStringLiteral("老王")}});
        const QString file = writeFile(book, QStringLiteral("phone.vcf"),
                                       card(QStringLiteral("张三"), QStringLiteral("138 0013 8000"))
                                           + card(QStringLiteral("李四"), QStringLiteral("+86 (010) 1234-5678 转 999"))
                                           + card(QStringLiteral("王五"), QStringLiteral("110")));
        const BookResult result = book.run({QStringLiteral("import"), file});
        QCOMPARE(result.status, ExitCode::Success);
        QCOMPARE(result.out,
                 (QStringList{QStringLiteral("phone.vcf 第 6 行 李四：电话：只存号码 +8601012345678，原文记入备注"),
                              QStringLiteral("添加 3 条，跳过 0 条，截断 0 条")}));
        const QList<ContactTexts> texts = book.texts();
        QCOMPARE(texts.size(), 4);
        QCOMPARE(texts[1][1], QStringLiteral("张三"));
        QCOMPARE(texts[1][3], QStringLiteral("138 0013 8000"));
        QCOMPARE(texts[2][3], QStringLiteral("+8601012345678"));  // the whole number, never a part of the extension
        QCOMPARE(texts[2][6], QStringLiteral("电话:+86 (010) 1234-5678 转 999；电话类别:手机"));
    }

    void shouldWriteNothingOnADryRun()
    {
        TestBook book;
        book.add({{QString(), QStringLiteral("张三"), QString(), QStringLiteral("110")}});
        const QByteArray before = book.bytes();
        const QString file = writeFile(book, QStringLiteral("a.vcf"),
                                       card(QStringLiteral("张三"), QStringLiteral("110"))
                                           + card(QStringLiteral("李四"), QStringLiteral("120")));
        const BookResult result = book.run({QStringLiteral("import"), QStringLiteral("--dry-run"), file});
        QCOMPARE(result.status, ExitCode::Success);
        QCOMPARE(result.out.last(), QStringLiteral("试运行，未写入：可添加 1 条，跳过 1 条，截断 0 条"));
        QCOMPARE(book.bytes(), before);
        QCOMPARE(book.files(), (QStringList{QStringLiteral("Kalvo.mdb"), QStringLiteral("a.vcf")}));
    }

    void shouldNotCreateAMissingBookOnADryRun()
    {
        TestFolder folder;
        const QString file = folder.file(QStringLiteral("a.vcf"));
        TestFolder::writeAll(file, card(QStringLiteral("李四"), QStringLiteral("120")));
        const BookResult result = runBook({QStringLiteral("--db"), folder.databasePath(), QStringLiteral("import"),
                                           QStringLiteral("--dry-run"), file});
        QCOMPARE(result.status, ExitCode::Success);
        QCOMPARE(result.out.last(), QStringLiteral("试运行，未写入：可添加 1 条，跳过 0 条，截断 0 条"));
        QVERIFY(!QFile::exists(folder.databasePath()));
    }

    void shouldCreateAMissingBookAsTheWindowDoes()
    {
        TestFolder folder;
        const QString file = folder.file(QStringLiteral("a.vcf"));
        TestFolder::writeAll(file, card(QStringLiteral("李四"), QStringLiteral("120")));
        const BookResult result =
            runBook({QStringLiteral("--db"), folder.databasePath(), QStringLiteral("import"), file});
        QCOMPARE(result.status, ExitCode::Success);
        QCOMPARE(result.out.first(), QStringLiteral("新建了通讯录 %1").arg(folder.databasePath()));
        BookFile created(folder.databasePath());
        QCOMPARE(created.query.RecordCount(), 1);
        QCOMPARE(created.query.FieldCount(), 8);
    }

    void shouldAddNothingTheSecondTime()
    {
        TestBook book;
        const QString file = writeFile(book, QStringLiteral("a.vcf"),
                                       card(QStringLiteral("张三"), QStringLiteral("110"))
                                           + card(QStringLiteral("张三"), QStringLiteral("110"))
                                           + card(QString(60, u'长'), QStringLiteral("120")));
        const BookResult first = book.run({QStringLiteral("import"), file});
        QCOMPARE(first.out.last(), QStringLiteral("添加 2 条，跳过 1 条，截断 1 条"));
        const BookResult second = book.run({QStringLiteral("import"), file});
        QCOMPARE(second.status, ExitCode::Success);
        QCOMPARE(second.out.last(), QStringLiteral("添加 0 条，跳过 3 条，截断 0 条"));
        QCOMPARE(book.count(), 2);
    }

    void shouldLeaveTheBookAsItWasWhenAWriteFails()
    {
        TestBook book;
        book.add({{QString(), QStringLiteral("原有")}});
        {
            BookFile open(book.path);
            open.connection.Execute(QStringLiteral("create trigger refuse before insert on rem when new.姓名 = '坏' "
                                                   "begin select raise(abort, '磁盘出错'); end"));
        }
        const QList<ContactTexts> before = book.texts();
        const QString file = writeFile(
            book, QStringLiteral("a.vcf"),
            card(QStringLiteral("甲"), QStringLiteral("1")) + card(QStringLiteral("乙"), QStringLiteral("2"))
                + card(QStringLiteral("坏"), QStringLiteral("3")) + card(QStringLiteral("丁"), QStringLiteral("4")));
        const BookResult result = book.run({QStringLiteral("import"), file});
        QCOMPARE(result.status, ExitCode::Failure);
        QVERIFY2(result.err.first().contains(QStringLiteral("磁盘出错")), qPrintable(result.err.first()));
        QCOMPARE(result.err.last(), QStringLiteral("通讯录未改动。"));
        QCOMPARE(book.texts(), before);
    }

    // The records are written on a thread of their own while the cards are
    // still planned: a write that fails early stops the planning too, and its
    // error is the one said.
    void shouldStopPlanningAndSayWhyWhenAnEarlyWriteFails()
    {
        TestBook book;
        book.add({{QString(), QStringLiteral("原有")}});
        {
            BookFile open(book.path);
            open.connection.Execute(QStringLiteral("create trigger refuse before insert on rem when new.姓名 = '坏' "
                                                   "begin select raise(abort, '磁盘出错'); end"));
        }
        const QByteArray before = book.bytes();
        QByteArray cards = card(QStringLiteral("坏"), QStringLiteral("3"));
        for (int i = 0; i < 3000; ++i)
            cards += card(QStringLiteral("人%1").arg(i), QString::number(10000 + i));
        const BookResult result = book.run({QStringLiteral("import"), writeFile(book, QStringLiteral("a.vcf"), cards)});
        QCOMPARE(result.status, ExitCode::Failure);
        QVERIFY2(result.err.first().contains(QStringLiteral("磁盘出错")), qPrintable(result.err.first()));
        QCOMPARE(result.err.last(), QStringLiteral("通讯录未改动。"));
        QCOMPARE(book.bytes(), before);
    }

    void shouldFailBeforeTouchingTheBookWhenAFileCannotBeRead()
    {
        TestFolder folder;
        const QString good = folder.file(QStringLiteral("a.vcf"));
        TestFolder::writeAll(good, card(QStringLiteral("李四"), QStringLiteral("120")));
        const BookResult result = runBook({QStringLiteral("--db"), folder.databasePath(), QStringLiteral("import"),
                                           good, folder.file(QStringLiteral("missing.vcf"))});
        QCOMPARE(result.status, ExitCode::Failure);
        QVERIFY(result.err.first().contains(QStringLiteral("文件不存在")));
        QVERIFY(!QFile::exists(folder.databasePath()));
    }

    // The cards of the first file are written while the second is read: its failure undoes them.
    void shouldUndoTheCardsWrittenWhenALaterFileCannotBeRead()
    {
        TestBook book;
        book.add({{QString(), QStringLiteral("原有")}});
        const QByteArray before = book.bytes();
        QByteArray cards;
        for (int i = 0; i < 2000; ++i)
            cards += card(QStringLiteral("人%1").arg(i), QString::number(10000 + i));
        const QString good = writeFile(book, QStringLiteral("a.vcf"), cards);
        const BookResult result =
            book.run({QStringLiteral("import"), good, book.folder.file(QStringLiteral("missing.vcf"))});
        QCOMPARE(result.status, ExitCode::Failure);
        QVERIFY2(result.err.first().contains(QStringLiteral("文件不存在")), qPrintable(result.err.first()));
        QCOMPARE(book.bytes(), before);
    }

    // The book is opened while the files are read: a file that cannot be read
    // is still what is said, even beside a wrong password.
    void shouldSayTheUnreadableFileBeforeTheWrongPassword()
    {
        TestBook book;
        const QByteArray before = book.bytes();
        const QString wrong = book.folder.file(QStringLiteral("wrong"));
        TestFolder::writeAll(wrong, "000000\n");
        const QString good =
            writeFile(book, QStringLiteral("a.vcf"), card(QStringLiteral("李四"), QStringLiteral("120")));
        CapturingConsole console(nullptr, false);
        const BookResult result =
            runBookAsGiven({QStringLiteral("--db"), book.path, QStringLiteral("--password-file"), wrong,
                            QStringLiteral("import"), good, book.folder.file(QStringLiteral("missing.vcf"))},
                           console);
        QCOMPARE(result.status, ExitCode::Failure);
        QVERIFY2(result.err.first().contains(QStringLiteral("文件不存在")), qPrintable(result.err.first()));
        QCOMPARE(book.bytes(), before);
    }

    void shouldRefuseACsvWithAnUnclosedQuoteWholeAndSayWhereItOpens()
    {
        TestBook book;
        book.add({{QStringLiteral("旧"), QStringLiteral("老王")}});
        const QByteArray before = book.bytes();
        QByteArray csv =
            QStringLiteral("姓名,电话,备注\r\n甲,1,\r\n乙,2,\r\n丙,3,\r\n丁,4,\r\n戊,5,\"说明\r\n").toUtf8();
        for (int i = 0; i < 73; ++i)
            csv += QStringLiteral("人%1,%1,\r\n").arg(i).toUtf8();
        const QString file = writeFile(book, QStringLiteral("名单.csv"), csv);
        const BookResult result = book.run({QStringLiteral("import"), file});
        QCOMPARE(result.status, ExitCode::Failure);
        QVERIFY2(result.err.first().contains(QStringLiteral("名单.csv：第 6 行起的引号没有闭合")),
                 qPrintable(result.err.first()));
        QCOMPARE(book.bytes(), before);
    }

    // A cell with several numbers: 电话 takes the first whole one, 备注 the cell as it was.
    void shouldStoreTheFirstWholeNumberOfACellWithSeveral()
    {
        TestBook book;
        const QString file = writeFile(book, QStringLiteral("名单.csv"),
                                       QStringLiteral("姓名,电话\r\n张三,13770672328(南）13911676175(北）\r\n"
                                                      "李四,010-62345678 / 13800138000\r\n")
                                           .toUtf8());
        QCOMPARE(book.run({QStringLiteral("import"), file}).status, ExitCode::Success);
        const QList<ContactTexts> texts = book.texts();
        QCOMPARE(texts.size(), 2);
        QCOMPARE(texts[0][int(ContactText::Phone)], QStringLiteral("13770672328"));
        QCOMPARE(texts[0][int(ContactText::Note)], QStringLiteral("电话:13770672328(南）13911676175(北）"));
        QCOMPARE(texts[1][int(ContactText::Phone)], QStringLiteral("010-62345678"));
        QCOMPARE(texts[1][int(ContactText::Note)], QStringLiteral("电话:010-62345678 / 13800138000"));
    }

    void shouldSayWhatEachSheetFileWasBeforeItsCards()
    {
        TestBook book;
        const QString file =
            writeFile(book, QStringLiteral("通讯录.csv"),
                      toGbk(QStringLiteral("某某公司通讯录\r\n姓名,电话,职务\r\n研发部\r\n张三,1,经理\r\n")));
        const BookResult result = book.run({QStringLiteral("import"), file});
        QCOMPARE(result.status, ExitCode::Success);
        QCOMPARE(
            result.out,
            (QStringList{QStringLiteral("通讯录.csv：编码：GB18030（自动识别）"),
                         QStringLiteral("通讯录.csv：表头在第 2 行，其上的 1 行不是联系人，未导入：某某公司通讯录"),
                         QStringLiteral("通讯录.csv：跳过分节行 1 行（第 3 行 研发部），不是联系人"),
                         QStringLiteral("添加 1 条，跳过 0 条，截断 0 条")}));
    }

    void shouldKeepACardCutOffAndTakeTheRest()
    {
        TestBook book;
        const QString file =
            writeFile(book, QStringLiteral("a.vcf"),
                      card(QStringLiteral("甲"), QStringLiteral("1")) + "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:断\r\n"
                          + card(QStringLiteral("乙"), QStringLiteral("2")));
        const BookResult result = book.run({QStringLiteral("import"), file});
        QCOMPARE(result.status, ExitCode::Success);
        // A card cut off before its END is kept, and said: never a person lost.
        QCOMPARE(result.out.first(), QStringLiteral("a.vcf 第 6 行 断：名片到文件结尾仍没有 END:VCARD，可能不完整"));
        QCOMPARE(result.out.last(), QStringLiteral("添加 3 条，跳过 0 条，截断 0 条"));
    }

    void shouldGiveBackTheSameTextsAndPhotoBytesAfterARoundTrip()
    {
        TestBook book;
        const QByteArray photo = realJpeg();
        book.add({{QStringLiteral("同学"), QStringLiteral("欧阳修"), QStringLiteral("农历八月初一"),
                   QStringLiteral("13800138000"), QStringLiteral("10001"), QStringLiteral("北京市海淀区"),
                   QStringLiteral("醉翁；之意,不在\\酒"), photo},
                  {QString(), QStringLiteral("John Smith"), QStringLiteral("1990-01-02"), QStringLiteral("010-1234")}});
        const QString exported = book.folder.file(QStringLiteral("all.vcf"));
        QCOMPARE(book.run({QStringLiteral("export"), exported}).status, ExitCode::Success);

        TestFolder other;
        const BookResult result =
            runBook({QStringLiteral("--db"), other.databasePath(), QStringLiteral("import"), exported});
        QCOMPARE(result.status, ExitCode::Success);
        QCOMPARE(result.out.last(), QStringLiteral("添加 2 条，跳过 0 条，截断 0 条"));
        BookFile copy(other.databasePath());
        QCOMPARE(copy.texts(), book.texts());
        QCOMPARE(copy.contacts().first().photo, photo);
        QVERIFY(copy.contacts().last().photo.isNull());
    }

    void shouldSayWhenTheWindowHasTheBookOpen()
    {
        TestBook book;
        // Another process holding the book open, as the window program does.
        QProcess holder;
        holder.start(QStringLiteral("bash"),
                     {QStringLiteral("-c"), QStringLiteral("exec 3<\"$0\"; echo ready; sleep 30"), book.path});
        QVERIFY(holder.waitForReadyRead(5000));
        const QString file = writeFile(book, QStringLiteral("a.vcf"), card(QStringLiteral("甲"), QStringLiteral("1")));
        const BookResult result = book.run({QStringLiteral("import"), file});
        holder.kill();
        holder.waitForFinished();
        QCOMPARE(result.status, ExitCode::Success);
        QCOMPARE(result.out.size(), 2);
        QVERIFY(result.out.first().contains(QStringLiteral("窗口下次启动后")));

        const BookResult alone =
            book.run({QStringLiteral("import"),
                      writeFile(book, QStringLiteral("b.vcf"), card(QStringLiteral("乙"), QStringLiteral("2")))});
        QCOMPARE(alone.out, QStringList{QStringLiteral("添加 1 条，跳过 0 条，截断 0 条")});
    }

    void shouldShowTheReportInABoxWithGui()
    {
        ScriptedDesktop desktop;
        TestBook book;
        const QString file = writeFile(book, QStringLiteral("a.vcf"), card(QString(12, u'名'), QStringLiteral("1")));
        const BookResult result = book.run({QStringLiteral("import"), QStringLiteral("--gui"), file});
        QCOMPARE(result.status, ExitCode::Success);
        QCOMPARE(desktop.boxes.size(), 1);
        QCOMPARE(desktop.boxes[0].caption, QStringLiteral("导入联系人"));
        QCOMPARE(desktop.boxes[0].type, Mb::OK | Mb::ICONINFORMATION);
        QCOMPARE(desktop.boxes[0].text, result.out.join(u'\n'));

        const BookResult failed =
            book.run({QStringLiteral("import"), QStringLiteral("--gui"), book.folder.file(QStringLiteral("gone.vcf"))});
        QCOMPARE(failed.status, ExitCode::Failure);
        QCOMPARE(desktop.boxes.size(), 2);
        QCOMPARE(desktop.boxes[1].type, Mb::OK | Mb::ICONSTOP);
        QVERIFY(desktop.boxes[1].text.endsWith(QStringLiteral("通讯录未改动。")));
    }
};

QTEST_MAIN(ImportTest)
#include "test_import.moc"
