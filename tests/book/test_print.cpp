// Printing the book to a PDF, read back by poppler: every name and number, the
// pinyin order under heading letters, no entry split across pages, the page
// numbers, the fonts embedded; the cards with their photos; a cancelled print
// leaves nothing.

#include "book/PrintBook.h"
#include "book/PrintCardStyle.h"
#include "book/PrintedContacts.h"
#include "exchange/KeptExtras.h"
#include "photo/JpegCodec.h"
#include "tests/book/BookTesting.h"
#include "tests/book/PdfReading.h"
#include "tests/support/TestRandom.h"

#include <QImage>
#include <QTest>

#include <sys/stat.h>

namespace {

QByteArray jpegOf(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return CompressJpeg(image);
}

// A small book with what a print must get right: names of every kind, a lunar
// birthday, numbers kept in 备注 and aside, a long address kept whole, photos.
struct SampleBook {
    TestBook book;
    SampleBook()
    {
        book.add({
            {u"同事"_qs, u"张三"_qs, u"农历八月十五"_qs, u"13800000001"_qs, u"10001"_qs, u"北京"_qs,
             u"手机:13900000009；办公电话:010-62345678"_qs, jpegOf({120, 160})},
            {u"同学"_qs, u"李四"_qs, u"1990-01-02"_qs, u"13800000002"_qs},
            {u"同事"_qs, u"王五"_qs, QString(), u"13800000003"_qs, QString(), u"北京市海淀区中关村南大街五号院"_qs},
            {u"朋友"_qs, u"阿明"_qs, QString(), u"13800000004"_qs},
            {u"朋友"_qs, u"劉德華"_qs, QString(), u"13800000005"_qs},  // traditional characters
            {u"朋友"_qs, u"刘䶮"_qs, QString(), u"13800000006"_qs},    // a character outside GBK
            {u"客户"_qs, u"Zoe Li"_qs, QString(), u"13800000007"_qs},
            {u"客户"_qs, u"3号仓库"_qs, QString(), u"13800000008"_qs},
            {u"同学"_qs, u"陈晨"_qs, QString(), u"13800000010"_qs, QString(), QString(), QString(), jpegOf({600, 800})},
        });
        BookFile file(book.path);
        EnsureKeptTable(file.connection.Handle());
        AddKept(
            file.connection.Handle(),
            KeptRows(
                RecordRowids(file.connection.Handle()).at(2),
                {{u"地址"_qs,
                  u"北京市海淀区中关村南大街五号院七号楼三单元五百零一室（东门进，右手第二个门口，门口有两棵银杏树）"_qs},
                 {u"手机"_qs, u"13700000011"_qs}}));
    }
    QString print(const QStringList& options, const QString& name = u"通讯录.pdf"_qs)
    {
        const QString pdf = book.folder.file(name);
        const BookResult result = book.run(QStringList{u"export"_qs, pdf} + options);
        if (result.status != ExitCode::Success)
            qWarning() << result.err;
        return result.status == ExitCode::Success ? pdf : QString();
    }
};

}  // namespace

class PrintTest : public QObject {
    Q_OBJECT

private slots:
    void shouldPrintEveryNameAndNumberInPinyinOrder()
    {
        SampleBook sample;
        const QString pdf = sample.print({});
        QVERIFY(!pdf.isEmpty());
        const QString text = pdfText(pdf);
        for (const QString& value :
             {u"张三"_qs, u"李四"_qs, u"王五"_qs, u"阿明"_qs, u"劉德華"_qs, u"刘䶮"_qs, u"Zoe Li"_qs, u"3号仓库"_qs,
              u"陈晨"_qs, u"13800000001"_qs, u"13900000009"_qs, u"010-62345678"_qs, u"13700000011"_qs,
              u"农历八月十五"_qs, u"第 1 页 共 1 页"_qs, u"共 9 个联系人"_qs})
            QVERIFY2(text.contains(value), qPrintable(value));
        // The long address prints whole, wrapped (pdftotext gives each line of it).
        QVERIFY(QString(text).remove(u'\n').contains(u"右手第二个门口，门口有两棵银杏树"_qs));
        // Heading letters, then the names under them, # last.
        const QStringList order{u"A"_qs,    u"阿明"_qs, u"C"_qs,    u"陈晨"_qs,   u"L"_qs, u"李四"_qs,   u"W"_qs,
                                u"王五"_qs, u"Z"_qs,    u"张三"_qs, u"Zoe Li"_qs, u"#"_qs, u"3号仓库"_qs};
        const QStringList lines = text.split(u'\n');
        qsizetype at = -1;
        for (const QString& expected : order) {
            // A name's line may go on with its 类别.
            qsizetype found = at + 1;
            while (found < lines.size() && lines[found] != expected && !lines[found].startsWith(expected + u' '))
                ++found;
            QVERIFY2(found < lines.size(), qPrintable(expected));
            at = found;
        }
        for (const QString& font : pdfFonts(pdf))
            QVERIFY2(font.contains(QRegularExpression(u"\\s+yes\\s+(yes|no)\\s+(yes|no)\\s+\\d+"_qs)),
                     qPrintable(font));
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(pdf).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0600));
    }

    void shouldKeepEveryEntryOnOnePageAndNumberThePages()
    {
        TestBook book;
        QRandomGenerator random = SeededRandom("print entries", 28);
        QList<QList<QVariant>> records;
        for (int i = 0; i < 400; ++i)
            records << QList<QVariant>{QString(),
                                       u"人%1"_qs.arg(i, 3, 10, QChar(u'0')),
                                       QString(),
                                       QString::number(15000000000LL + i),
                                       QString(),
                                       QString(random.bounded(1, 30), u'路'),
                                       QString(random.bounded(0, 90), u'注')};
        book.add(records);
        const QString pdf = book.folder.file(u"长.pdf"_qs);
        QCOMPARE(book.run({u"export"_qs, pdf, u"--columns"_qs, u"电话,地址,备注"_qs}).status, ExitCode::Success);
        const int pages = pdfPages(pdf);
        QVERIFY(pages > 3);
        QSet<QString> seen;
        for (int page = 1; page <= pages; ++page) {
            const QString text = pdfText(pdf, page);
            QVERIFY(text.contains(u"第 %1 页 共 %2 页"_qs.arg(page).arg(pages)));
            // An entry is its name and number together on one page.
            for (const QRegularExpressionMatch& name : QRegularExpression(u"人(\\d{3})"_qs).globalMatch(text)) {
                QVERIFY2(text.contains(QString::number(15000000000LL + name.captured(1).toInt())),
                         qPrintable(name.captured(0)));
                seen.insert(name.captured(0));
            }
        }
        QCOMPARE(seen.size(), 400);
    }

    void shouldChooseTheContactsAndColumns_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("hidden");
        QTest::newRow("category") << QStringList{u"--category"_qs, u"同事"_qs} << QStringList{u"张三"_qs, u"王五"_qs}
                                  << QStringList{u"李四"_qs, u"阿明"_qs};
        QTest::newRow("find by pinyin") << QStringList{u"--find"_qs, u"zs"_qs} << QStringList{u"张三"_qs}
                                        << QStringList{u"李四"_qs, u"王五"_qs};
        QTest::newRow("columns") << QStringList{u"--columns"_qs, u"类别"_qs}
                                 << QStringList{u"13800000001"_qs, u"同学"_qs}
                                 << QStringList{u"农历八月十五"_qs, u"北京"_qs, u"10001"_qs};
        QTest::newRow("cards") << QStringList{u"--style"_qs, u"名片"_qs}
                               << QStringList{u"张三"_qs, u"13900000009"_qs, u"第 1 页 共 2 页"_qs,
                                              u"第 2 页 共 2 页"_qs}
                               << QStringList{};
    }

    void shouldChooseTheContactsAndColumns()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, hidden);
        SampleBook sample;
        const QString pdf = sample.print(options);
        QVERIFY(!pdf.isEmpty());
        const QString text = pdfText(pdf);
        for (const QString& value : shown)
            QVERIFY2(text.contains(value), qPrintable(value));
        for (const QString& value : hidden)
            QVERIFY2(!text.contains(value), qPrintable(value));
    }

    void shouldPrintPhotosOnCardsNeverEnlarged()
    {
        SampleBook sample;
        const QString pdf = sample.print({u"--style"_qs, u"名片"_qs});
        // pdfimages -list: one row per photo with its pixels and the resolution it prints at.
        const QStringList rows =
            popplerOutput(u"pdfimages"_qs, {u"-list"_qs, pdf}).split(u'\n', Qt::SkipEmptyParts).mid(2);
        QCOMPARE(rows.size(), 2);
        for (const QString& row : rows) {
            const QStringList cells = row.simplified().split(u' ');
            QVERIFY2(cells.at(12).toInt() >= int(PhotoDpi) - 1, qPrintable(row));  // x-ppi
        }
        // A small photo prints at its own pixels, a large one shrinks into the card's box.
        QCOMPARE(PrintedPhotoSize({120, 160}, {1000, 1000}, 300), QSizeF(240, 320));
        QCOMPARE(PrintedPhotoSize({600, 800}, {300, 300}, 300), QSizeF(225, 300));
    }

    void shouldLeaveNothingWhenCancelled()
    {
        SampleBook sample;
        const QString pdf = sample.book.folder.file(u"old.pdf"_qs);
        TestFolder::writeAll(pdf, "the old print");
        const QStringList before = sample.book.files();
        // Stopped at the first page drawn, once the writer has begun the file.
        QVERIFY_THROWS_EXCEPTION(PrintCancelled, PrintBookToPdf(sample.book.path, pdf, PrintChoice(),
                                                                [](int done, int total) { return done < total / 2; }));
        QCOMPARE(TestFolder::readAll(pdf), QByteArray("the old print"));
        QCOMPARE(sample.book.files(), before);
    }

    void shouldRefuseWrongPrintOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("style") << QStringList{u"a.pdf"_qs, u"--style"_qs, u"海报"_qs};
        QTest::newRow("column") << QStringList{u"a.pdf"_qs, u"--columns"_qs, u"电话,传真号"_qs};
        QTest::newRow("not a pdf") << QStringList{u"a.vcf"_qs, u"--category"_qs, u"同事"_qs};
    }

    void shouldRefuseWrongPrintOptions()
    {
        QFETCH(QStringList, arguments);
        TestBook book;
        const QStringList before = book.files();
        QCOMPARE(book.run(QStringList{u"export"_qs} + arguments).status, ExitCode::Usage);
        QCOMPARE(book.files(), before);
    }

    void shouldFileNamesUnderTheirPinyinLetter()
    {
        QCOMPARE(PrintHeading(u"张三"_qs), QChar(u'Z'));
        QCOMPARE(PrintHeading(u"曾国藩"_qs), QChar(u'Z'));  // the surname's reading
        QCOMPARE(PrintHeading(u"Émile"_qs), QChar(u'E'));
        QCOMPARE(PrintHeading(u"3号仓库"_qs), QChar(u'#'));
        QCOMPARE(PrintHeading(QString()), QChar(u'#'));
    }
};

QTEST_MAIN(PrintTest)
#include "test_print.moc"
