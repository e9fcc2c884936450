// duplicates finds planted pairs of every reason and groups no near miss;
// merge keeps every value, refuses a record changed since it was listed, and
// leaves a backup that gives the book as it was.

#include "book/DuplicateGroups.h"
#include "exchange/PhoneNumber.h"
#include "tests/book/BookHolder.h"
#include "tests/book/BookTesting.h"
#include "tests/support/RawBook.h"

#include <QRegularExpression>
#include <QTest>

namespace {

using Records = QList<QList<QVariant>>;

// Each group as "reason: name name ...", in output order.
QStringList groupsOf(const BookResult& result)
{
    QMap<int, QString> groups;
    for (const QString& line : result.out.mid(1)) {
        const QStringList cells = line.split(u'\t');
        QString& group = groups[cells[0].toInt()];
        group = (group.isEmpty() ? cells[1] + u':' : group) + u' ' + cells[4];
    }
    return groups.values();
}

}  // namespace

class DuplicatesTest : public QObject {
    Q_OBJECT

private slots:
    void shouldGroupByEveryReasonAndNoNearMiss_data()
    {
        QTest::addColumn<Records>("records");  // 类别, 姓名, 生日, 电话, QQ, 地址, 备注
        QTest::addColumn<QStringList>("groups");
        QTest::newRow("phone by digits") << Records{{"", "李明", "", "138-0013-8000"},
                                                    {"", "明", "", "+86 13800138000"}}
                                         << QStringList{"电话: 李明 明"};
        QTest::newRow("phone under a label in 备注")
            << Records{{"", "王五", "", "010-6552 1234"}, {"", "老王", "", "", "", "", "备忘；电话:0086 01065521234"}}
            << QStringList{"电话: 王五 老王"};
        QTest::newRow("e-mail in any case")
            << Records{{"", "甲", "", "", "", "", "邮箱:Ab@x.cn"}, {"", "乙", "", "", "", "", "邮箱:ab@X.CN"}}
            << QStringList{"邮箱: 甲 乙"};
        QTest::newRow("QQ") << Records{{"", "甲", "", "", "123456"}, {"", "乙", "", "", "123456"}}
                            << QStringList{"QQ: 甲 乙"};
        QTest::newRow("traditional name and birthday")
            << Records{{"", "張偉", "1990-01-02"}, {"", "张伟", "1990-01-02"}} << QStringList{"姓名+生日: 張偉 张伟"};
        QTest::newRow("blanks, full-width letters, case and address")
            << Records{{"", "Ｔｏｍ Lee", "", "", "", "北京"}, {"", "tomlee", "", "", "", "北京"}}
            << QStringList{"姓名+地址: Ｔｏｍ Lee tomlee"};
        QTest::newRow("three records through two keys")
            << Records{{"", "甲", "", "13800138000"}, {"", "乙", "", "13800138000", "999"}, {"", "丙", "", "", "999"}}
            << QStringList{"电话、QQ: 甲 乙 丙"};
        QTest::newRow("near miss: same name only")
            << Records{{"", "张伟", "1990-01-02"}, {"", "张伟", "1991-03-04"}} << QStringList{};
        QTest::newRow("near miss: same surname and phone prefix")
            << Records{{"", "张三", "", "13800000001"}, {"", "张四", "", "13800000002"}} << QStringList{};
        QTest::newRow("near miss: same birthday, other names")
            << Records{{"", "张三", "1990-01-02"}, {"", "李四", "1990-01-02"}} << QStringList{};
    }

    void shouldGroupByEveryReasonAndNoNearMiss()
    {
        QFETCH(Records, records);
        QFETCH(QStringList, groups);
        TestBook book;
        book.add(records);
        const BookResult result = book.run({QStringLiteral("duplicates")});
        QCOMPARE(result.status, ExitCode::Success);
        QCOMPARE(result.out.first(), QStringLiteral("组\t原因\t编号\t类别\t姓名\t生日\t电话\tQQ\t地址\t备注"));
        QCOMPARE(groupsOf(result), groups);
    }

    // Names and numbers as the keys compare them, on the short way for plain
    // ASCII and common ideographs as on the long one for anything else.
    void shouldCompareNamesAndNumbersAsTheKeysDo_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("name");    // as ComparedName gives it
        QTest::addColumn<QString>("digits");  // as PhoneDigits gives them
        QTest::newRow("traditional, a blank") << u"張 偉"_qs << u"张伟"_qs << QString();
        QTest::newRow("ASCII case, tab and blank") << u"\tTom LEE "_qs << u"tomlee"_qs << QString();
        QTest::newRow("full-width beside traditional") << u"Ｔｏｍ 張偉"_qs << u"tom张伟"_qs << QString();
        QTest::newRow("+86 and separators") << u"+86 138-0013-8000"_qs << u"+86138-0013-8000"_qs << u"13800138000"_qs;
        QTest::newRow("full-width 0086") << u"００８６１３８００１３８０００"_qs << u"008613800138000"_qs
                                         << u"13800138000"_qs;
        QTest::newRow("86 before a short number") << u"86-10-1234"_qs << u"86-10-1234"_qs << u"86101234"_qs;
    }

    void shouldCompareNamesAndNumbersAsTheKeysDo()
    {
        QFETCH(QString, written);
        QFETCH(QString, name);
        QFETCH(QString, digits);
        QCOMPARE(ComparedName(written), name);
        QCOMPARE(PhoneDigits(written), digits);
    }

    void shouldMergeKeepingEveryValueAndLeaveABackup()
    {
        TestBook book;
        book.add({{"朋友", "李明", "1990-01-02", "13800138000", "", "北京"},
                  {"同事", "李明", "", "+86 13800138000", "5566", "上海", "爱下棋；邮箱:li@x.cn"}});
        const QList<ContactTexts> before = book.texts();
        QCOMPARE(book.run({QStringLiteral("duplicates")}).out.size(), 3);
        const BookResult merged =
            book.run({QStringLiteral("merge"), QStringLiteral("--into"), QStringLiteral("1"), QStringLiteral("2")});
        QVERIFY2(merged.status == ExitCode::Success, qPrintable(merged.err.join(u'\n')));
        QCOMPARE(book.count(), 1);
        QCOMPARE(book.texts().first()[int(ContactText::Note)],
                 QStringLiteral("类别:同事；QQ:5566；地址:上海；爱下棋；邮箱:li@x.cn"));

        const QString out = book.folder.file(QStringLiteral("out.vcf"));
        QCOMPARE(book.run({QStringLiteral("export"), out}).status, ExitCode::Success);
        const QByteArray exported = TestFolder::readAll(out).replace("\r\n ", "");
        for (const char* value : {"13800138000", "5566", "北京", "上海", "爱下棋", "li@x.cn", "同事", "朋友"})
            QVERIFY2(exported.contains(value), value);

        const QString backup = merged.out.first().section(QStringLiteral("已备份到 "), 1).section(u'，', 0, 0);
        QVERIFY2(QFile::exists(backup), qPrintable(merged.out.first()));
        QCOMPARE(BookFile(backup).texts(), before);
    }

    void shouldKeepAsideWhatAFullNoteHasNoRoomFor()
    {
        TestBook book;
        const QString note(98, u'记');
        book.add({{"", "甲", "", "13800138000", "", "", note}, {"", "乙", "", "13800138000", "", "上海"}});
        book.run({QStringLiteral("duplicates")});
        const BookResult merged =
            book.run({QStringLiteral("merge"), QStringLiteral("--into"), QStringLiteral("1"), QStringLiteral("2")});
        QCOMPARE(merged.status, ExitCode::Success);
        QCOMPARE(book.texts().first()[int(ContactText::Note)], note);
        const QString out = book.folder.file(QStringLiteral("out.vcf"));
        QCOMPARE(book.run({QStringLiteral("export"), out}).status, ExitCode::Success);
        const QByteArray exported = TestFolder::readAll(out).replace("\r\n ", "");
        for (const char* value : {"乙", "上海", "13800138000"})
            QVERIFY2(exported.contains(value), value);
    }

    // The photo the kept record lacks comes from the others; its own stays when it has one.
    void shouldTakeThePhotoTheKeptRecordLacks_data()
    {
        QTest::addColumn<QByteArray>("keptPhoto");
        QTest::addColumn<QByteArray>("otherPhoto");
        QTest::addColumn<QByteArray>("merged");
        QTest::newRow("kept has none") << QByteArray() << QByteArray("other") << QByteArray("other");
        QTest::newRow("kept has one") << QByteArray("own") << QByteArray("other") << QByteArray("own");
    }

    void shouldTakeThePhotoTheKeptRecordLacks()
    {
        QFETCH(QByteArray, keptPhoto);
        QFETCH(QByteArray, otherPhoto);
        QFETCH(QByteArray, merged);
        TestBook book;
        book.add({{"", "甲", "", "13800138000", "", "", "", keptPhoto.isEmpty() ? QVariant() : QVariant(keptPhoto)},
                  {"", "乙", "", "13800138000", "", "", "", otherPhoto}});
        book.run({QStringLiteral("duplicates")});
        QCOMPARE(book.run({QStringLiteral("merge"), QStringLiteral("--into=1"), QStringLiteral("2")}).status,
                 ExitCode::Success);
        const QList<StoredContact> after = BookFile(book.path).contacts();
        QCOMPARE(after.size(), 1);
        QCOMPARE(after.first().photo, merged);
    }

    void shouldRefuseWhatChangedOrWasNeverListed_data()
    {
        QTest::addColumn<QByteArray>("change");  // what another program does after the listing
        QTest::addColumn<QString>("message");
        QTest::newRow("a record changed") << QByteArray("update rem set 地址 = '广州' where rowid = 2") << "已被改动";
        QTest::newRow("a record deleted") << QByteArray("delete from rem where rowid = 2") << "已不在通讯录中";
        QTest::newRow("never listed") << QByteArray("delete from listed where rec = 2") << "不在上次 duplicates";
    }

    void shouldRefuseWhatChangedOrWasNeverListed()
    {
        QFETCH(QByteArray, change);
        QFETCH(QString, message);
        TestBook book;
        book.add({{"", "甲", "", "13800138000"}, {"", "乙", "", "13800138000"}});
        book.run({QStringLiteral("duplicates")});
        RawBook(book.path).execute(change.constData());
        const QByteArray bytes = book.bytes();
        const QStringList files = book.files();
        const BookResult result = book.run({QStringLiteral("merge"), QStringLiteral("--into=1"), QStringLiteral("2")});
        QCOMPARE(result.status, ExitCode::Failure);
        QVERIFY2(result.err.first().contains(message), qPrintable(result.err.first()));
        QCOMPARE(book.bytes(), bytes);
        QCOMPARE(book.files(), files);
    }

    void shouldRefuseAMergeWhileTheWindowProgramHoldsTheBook()
    {
        TestBook book;
        book.add({{"", "甲", "", "13800138000"}, {"", "乙", "", "13800138000"}});
        book.run({QStringLiteral("duplicates")});
        const BookHolder window(book.path);
        QVERIFY(window.held());
        const QByteArray bytes = book.bytes();
        const QStringList files = book.files();
        const BookResult result = book.run({QStringLiteral("merge"), QStringLiteral("--into=1"), QStringLiteral("2")});
        QCOMPARE(result.status, ExitCode::Failure);
        QVERIFY2(result.err.first().contains(QStringLiteral("tessaly，进程 %1").arg(window.pid())),
                 qPrintable(result.err.first()));
        QCOMPARE(book.bytes(), bytes);
        QCOMPARE(book.files(), files);  // no backup either
    }
};

QTEST_GUILESS_MAIN(DuplicatesTest)
#include "test_duplicates.moc"
