// tessaly-book find and list --pinyin, run in-process on a book in a temporary folder, and
// the tools window's search over the same book.

#include "book/ContactIndex.h"
#include "store/KeptValues.h"
#include "tests/book/BookTesting.h"

#include <QTest>

namespace {

class FindCommandTest : public QObject {
    Q_OBJECT

    TestBook book_;

    BookResult run(const QStringList& arguments) const { return book_.run(arguments); }

    // The names of the lines after the header, in order.
    static QStringList names(const BookResult& r)
    {
        QStringList names;
        for (const QString& line : r.out.mid(1))
            names << line.split(u'\t').value(1);
        return names;
    }

private slots:
    void initTestCase()
    {
        // Table order is not name order, so the sort shows.
        book_.add({
            {"同事", "赵四", "", "13900000000"},
            {"朋友", "张三丰", "1990-01-02", "13800138000", "", "武当山"},
            {"朋友", "曾国藩"},
            {"客户", "Li Lei", "", "010-1234", "", "Zhongshan Rd"},
            {"朋友", "张三"},
            {"同学", "单雄信"},
            {"朋友", "周思", "", "", "", "", "zs 的表哥"},
            {"朋友", QVariant()},  // no name at all
            {"客户", "钱七", "", "138-0013-8000"},
        });
        // What an import kept beside 钱七: an e-mail and a further phone.
        BookFile kept(book_.path);
        EnsureKeptTable(kept.connection.Handle());
        AddKept(kept.connection.Handle(), {{9, "邮箱", "qq7@example.com"}, {9, "电话", "139 1111-2222"}});
    }

    void shouldListFoundContactsInNameOrder_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        // Pinyin order by 姓名: zhang san, zhang san feng, zhao si, zhou si; zs in the note finds 周思 too.
        QTest::newRow("initials") << "zs" << QStringList{"张三", "张三丰", "赵四", "周思"};
        QTest::newRow("a prefix and a whole syllable") << "zhangs" << QStringList{"张三", "张三丰"};
        QTest::newRow("from the second character") << "sanfeng" << QStringList{"张三丰"};
        QTest::newRow("surname reading") << "zeng" << QStringList{"曾国藩"};
        QTest::newRow("no other reading for a surname") << "ceng" << QStringList{};
        QTest::newRow("single surname") << "sxx" << QStringList{"单雄信"};
        QTest::newRow("a Latin name") << "li" << QStringList{"Li Lei"};
        QTest::newRow("a contained address, case ignored") << "zhongshan rd" << QStringList{"Li Lei"};
        QTest::newRow("digits of a phone") << "138" << QStringList{"钱七", "张三丰"};
        QTest::newRow("a number typed whole, stored with separators") << "13800138000" << QStringList{"钱七", "张三丰"};
        QTest::newRow("a number typed with a blank") << "138 0013" << QStringList{"钱七", "张三丰"};
        QTest::newRow("a number typed with other separators") << "(138)0013-80" << QStringList{"钱七", "张三丰"};
        QTest::newRow("a kept e-mail") << "QQ7@example" << QStringList{"钱七"};
        QTest::newRow("a kept phone, typed without its separators") << "13911112222" << QStringList{"钱七"};
        QTest::newRow("digits of two texts never join") << "02 1380" << QStringList{};  // 生日 1990-01-02, 电话 138…
        QTest::newRow("digits and symbols") << "010-12" << QStringList{"Li Lei"};
        QTest::newRow("the category") << "同学" << QStringList{"单雄信"};
        QTest::newRow("a null name first") << "朋友" << QStringList{"", "曾国藩", "张三", "张三丰", "周思"};
        QTest::newRow("nothing") << "xyz" << QStringList{};
    }
    void shouldListFoundContactsInNameOrder()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        const BookResult r = run({"find", typed});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out.value(0), QStringLiteral("类别\t姓名\t生日\t电话\tQQ\t地址\t备注"));
        QCOMPARE(names(r), found);

        // The tools window's 查找, from the texts held in memory, finds the same in the same order.
        const ContactIndex index(book_.path);
        QStringList inMemory;
        for (const int contact : index.find(typed))
            inMemory << index.text(contact, ContactText::Name);
        QCOMPARE(inMemory, found);
    }

    void shouldPrintFoundContactsAsListDoes()
    {
        const BookResult found = run({"find", "zsf"});
        const BookResult listed = run({"list"});
        QCOMPARE(found.out.size(), 2);
        QCOMPARE(found.out.at(0), listed.out.at(0));
        QVERIFY(listed.out.contains(found.out.at(1)));
        QCOMPARE(found.out.at(1), QStringLiteral("朋友\t张三丰\t1990-01-02\t13800138000\t\t武当山\t"));
    }

    void shouldAddThePinyinColumn()
    {
        const BookResult listed = run({"list", "--pinyin"});
        QCOMPARE(listed.status, 0);
        QVERIFY(listed.out.at(0).endsWith(QStringLiteral("\t备注\t拼音")));
        QVERIFY(listed.out.contains(QStringLiteral("朋友\t曾国藩\t\t\t\t\t\tzeng guo fan")));
        QVERIFY(listed.out.contains(QStringLiteral("朋友\t\t\t\t\t\t\t")));  // no name, empty pinyin
        const BookResult found = run({"find", "--pinyin", "shanxx"});
        QCOMPARE(found.out.value(1), QStringLiteral("同学\t单雄信\t\t\t\t\t\tshan xiong xin"));
    }

    void shouldRefuseAMissingOrEmptyText_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("empty") << QStringList{"find", ""};
        QTest::newRow("missing") << QStringList{"find"};
        QTest::newRow("two texts") << QStringList{"find", "zhang", "san"};
        QTest::newRow("unknown flag") << QStringList{"find", "--fuzzy", "zs"};
    }
    void shouldRefuseAMissingOrEmptyText()
    {
        QFETCH(QStringList, arguments);
        const BookResult r = run(arguments);
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.err.value(0).contains(QStringLiteral("find")));
    }

    void shouldFailWithoutABook()
    {
        const QString missing = book_.folder.file("none.mdb");
        const QString notABook = book_.folder.file("notes.mdb");
        TestFolder::writeAll(notABook, QByteArray(4096, 'x'));
        for (const QString& path : {missing, notABook}) {
            const BookResult r = runBook({"--db", path, "find", "zs"});
            QCOMPARE(r.status, 1);
            QVERIFY(r.out.isEmpty());
            QCOMPARE(r.err.value(1), QStringLiteral("通讯录未改动。"));
        }
        QVERIFY(!QFile::exists(missing));
        QCOMPARE(TestFolder::readAll(notABook), QByteArray(4096, 'x'));
    }
};

}  // namespace

QTEST_GUILESS_MAIN(FindCommandTest)
#include "test_find_command.moc"
