// Values kept beside a record: stored with the import, gone with the record, given back by every export.

#include "store/ContactSchema.h"
#include "tests/book/BookTesting.h"
#include "tests/support/RawBook.h"

#include <QTest>

namespace {

// A card whose values 备注 has no room for: a long note, three e-mail addresses, a long name.
const QByteArray fullCard = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Google Chrome Developers\r\nTEL:+1 650 253 0000\r\n"
                            "TEL;TYPE=WORK;VALUE=uri:tel:+44-555-555-5555;ext=5555\r\n"
                            "NOTE:"
                            + QByteArray(90, 'n')
                            + "\r\nEMAIL:one@example.com\r\nEMAIL:two@example.com\r\n"
                              "URL:https://developer.chrome.com/\r\nEND:VCARD\r\n";

QStringList keptLabels(const TestBook& book)
{
    return RawBook(book.path).texts(QStringLiteral("select label from kept order by rowid"));
}

}  // namespace

class KeptTest : public QObject {
    Q_OBJECT

private slots:
    void shouldKeepWhatHasNoRoomAndGiveItBackOnExport()
    {
        TestBook book;
        const QString file = book.folder.file(QStringLiteral("a.vcf"));
        TestFolder::writeAll(file, fullCard);
        const BookResult imported = book.run({QStringLiteral("import"), file});
        QCOMPARE(imported.status, ExitCode::Success);
        QVERIFY2(imported.out.first().contains(QStringLiteral("另存于通讯录")), qPrintable(imported.out.first()));
        QCOMPARE(keptLabels(book), (QStringList{u"姓名"_qs, u"工作电话"_qs, u"邮箱"_qs, u"邮箱"_qs, u"网址"_qs}));
        const QString schema =
            RawBook(book.path).texts(QStringLiteral("select sql from sqlite_master where name = 'rem'")).first();
        QCOMPARE(schema, ContactSchema::CreateContactTable().toUpper().left(12) + schema.mid(12));

        QCOMPARE(book.run({QStringLiteral("import"), file}).out.last(),
                 QStringLiteral("添加 0 条，跳过 1 条，截断 0 条"));

        const QString out = book.folder.file(QStringLiteral("out.vcf"));
        QCOMPARE(book.run({QStringLiteral("export"), out}).status, ExitCode::Success);
        const QByteArray exported = TestFolder::readAll(out).replace("\r\n ", "");
        for (const char* line : {"FN:Google Chrome Developers\r\n", "EMAIL;TYPE=INTERNET:one@example.com\r\n",
                                 "EMAIL;TYPE=INTERNET:two@example.com\r\n", "URL:https://developer.chrome.com/\r\n",
                                 "TEL;TYPE=WORK:+44-555-555-5555;ext=5555\r\n", "TEL;TYPE=VOICE:+1 650 253 0000\r\n"})
            QVERIFY2(exported.contains(line), line);
        QVERIFY(exported.contains("NOTE:" + QByteArray(90, 'n') + "\r\n"));
    }

    void shouldLeaveWithTheRecordTheWindowDeletes()
    {
        TestBook book;
        book.add({{QStringLiteral("旧"), QStringLiteral("老王")}});
        const QString file = book.folder.file(QStringLiteral("a.vcf"));
        TestFolder::writeAll(file, fullCard);
        QCOMPARE(book.run({QStringLiteral("import"), file}).status, ExitCode::Success);
        QVERIFY(!keptLabels(book).isEmpty());
        {
            // As the window deletes: through the engine, knowing nothing of the kept values.
            BookFile open(book.path);
            open.query.Last();
            open.query.Delete();
        }
        QCOMPARE(keptLabels(book), QStringList());
        QCOMPARE(book.count(), 1);
        QCOMPARE(book.run({QStringLiteral("check")}).out.size(), 2);
    }

    void shouldReportKeptValuesWhoseRecordIsGone()
    {
        TestBook book;
        const QString file = book.folder.file(QStringLiteral("a.vcf"));
        TestFolder::writeAll(file, fullCard);
        QCOMPARE(book.run({QStringLiteral("import"), file}).status, ExitCode::Success);
        {
            RawBook raw(book.path);
            raw.execute("drop trigger kept_leaves_with_rem");
            raw.execute("delete from rem");
        }
        const BookResult checked = book.run({QStringLiteral("check")});
        QCOMPARE(checked.status, ExitCode::Success);
        QCOMPARE(checked.out.last(), QStringLiteral("另存的值：5 个所属的联系人已不存在"));
    }
};

QTEST_GUILESS_MAIN(KeptTest)
#include "test_kept.moc"
