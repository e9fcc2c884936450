// Finding contacts by a contained text or by the pinyin of the name, and the
// name's pinyin as shown to people and phones.

#include "exchange/pinyin/ContactSearch.h"
#include "exchange/pinyin/NameReading.h"

#include <QTest>

#include <array>

namespace {

std::array<QString, ContactTextCount> contact(const QString& name, const QString& phone = {},
                                              const QString& address = {})
{
    std::array<QString, ContactTextCount> texts;
    texts[size_t(ContactText::Category)] = QStringLiteral("朋友");
    texts[size_t(ContactText::Name)] = name;
    texts[size_t(ContactText::Phone)] = phone;
    texts[size_t(ContactText::Address)] = address;
    return texts;
}

bool finds(const QString& typed, const std::array<QString, ContactTextCount>& texts)
{
    return ContactSearch(typed).matches(texts);
}

void addCases(const char* tag, const QString& name, const QStringList& found, const QStringList& notFound)
{
    for (const QString& typed : found)
        QTest::addRow("%s: %s finds", tag, qPrintable(typed)) << name << typed << true;
    for (const QString& typed : notFound)
        QTest::addRow("%s: %s misses", tag, qPrintable(typed)) << name << typed << false;
}

}  // namespace

class PinyinSearchTest : public QObject {
    Q_OBJECT

private slots:
    void shouldFindTheNameByItsPinyin_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("found");
        addCases("syllables whole or by a prefix, consecutively", "张三丰",
                 {"zhangsanfeng", "zsf", "zs", "zhangs", "zhsanf", "sanfeng", "sf", "feng", "z", "zhangsanf"},
                 {"ang", "zf", "zsfx", "zhangsanfengx", "hangsan", "fz"});
        addCases("case, blanks and apostrophes ignored", "西安", {"XiAn", "xi an", "xi'an", "X'A", " x a "}, {"x-a"});
        addCases("first character as a surname", "曾国藩", {"zeng", "zgf", "zengguofan"}, {"ceng", "cgf"});
        addCases("single surname", "单雄信", {"shanxx", "sxx"}, {"danxx", "dxx"});
        addCases("compound surname", "万俟卨", {"moqixie", "mqx", "qixie", "mo"}, {"wanqi", "wqx"});
        addCases("compound surname", "尉迟恭", {"yuchigong", "ycg"}, {"weichi"});
        addCases("compound surname", "长孙无忌", {"zhangsunwuji", "zswj"}, {"changsun", "cswj"});
        addCases("surname reading where a surname does not read differently", "行一", {"xingyi", "hangyi", "hy"}, {});
        addCases("other characters by any common reading", "李长乐",
                 {"lichangle", "lizhangyue", "lcy", "lzl", "changle", "zhangyue"}, {"lichangx"});
        addCases("other characters by any common reading", "王曾", {"wangceng", "wangzeng", "wc", "wz"}, {});
        addCases("ü typed as v or u", "吕布", {"lvbu", "lubu", "lb", "lüb"}, {"lobu"});
        addCases("ü typed as v or u", "张女士", {"zhangnvshi", "znush", "nvs"}, {});
        addCases("traditional characters", "張三", {"zs", "zhangsan"}, {"cs"});
        addCases("traditional surname", "單雄信", {"sxx"}, {"dxx"});
        addCases("a Latin name as words", "Li Lei", {"li", "ll", "lilei", "LL", "lei"}, {"ie", "lx"});
        addCases("Latin and Han together", "Tom张三", {"tomzs", "tzs", "zs"}, {"omz"});
        addCases("digits and symbols only separate", "张三(北京)2号", {"zs", "zsbj", "bjh", "zhangsanbeijinghao"},
                 {"zsx"});
        addCases("a character without a reading breaks the run", "张ア三", {"z", "s"}, {"zs"});
        // More letters than one machine word holds the places of.
        const QString longName = QStringLiteral("张三丰").repeated(7);
        const QString longPinyin = QStringLiteral("zhangsanfeng").repeated(7);
        addCases("a long name typed whole", longName,
                 {longPinyin, QStringLiteral("sanfeng") + longPinyin.mid(12), longPinyin.left(70)},
                 {longPinyin + u'x', QStringLiteral("x") + longPinyin});
    }
    void shouldFindTheNameByItsPinyin()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(bool, found);
        QCOMPARE(finds(typed, contact(name)), found);
    }

    void shouldFindATextContainedInAnyColumn_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("found");
        QTest::newRow("part of the name") << "三丰" << true;
        QTest::newRow("the category") << "朋友" << true;
        QTest::newRow("digits of the phone") << "1380" << true;
        QTest::newRow("a phone's symbols") << "-13" << true;
        QTest::newRow("address, ASCII case ignored") << "wudang RD" << true;
        QTest::newRow("letters and digits are no pinyin") << "zs1" << false;
        QTest::newRow("no column holds it") << "138x" << false;
        QTest::newRow("only ASCII letters lose their case") << "ärzte" << false;
    }
    void shouldFindATextContainedInAnyColumn()
    {
        QFETCH(QString, typed);
        QFETCH(bool, found);
        const auto texts =
            contact(QStringLiteral("张三丰"), QStringLiteral("010-13800138000"), QStringLiteral("Wudang Rd, ÄRZTE"));
        QCOMPARE(finds(typed, texts), found);
    }

    void shouldFindAPartWhateverTheCaseOfItsLetters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("loweredPart");
        QTest::addColumn<bool>("found");
        QTest::newRow("upper case in the text") << "Wudang RD"
                                                << "rd" << true;
        QTest::newRow("at the very start") << "Zs路"
                                           << "zs" << true;
        QTest::newRow("at the very end") << "路zS"
                                         << "zs" << true;
        QTest::newRow("first byte no letter") << "138-0013"
                                              << "-00" << true;
        QTest::newRow("a near miss before the match") << "zxzs"
                                                      << "zs" << true;
        QTest::newRow("only the first letter") << "z路s"
                                               << "zs" << false;
        QTest::newRow("a letter's case bit is no other symbol") << "[s"
                                                                << "{s" << false;
        QTest::newRow("longer than the text") << "zs"
                                              << "zsf" << false;
        QTest::newRow("empty part") << ""
                                    << "" << true;
        // Eight places at a time: the part starting in every place of the words and past them.
        for (int at = 0; at <= 17; ++at) {
            const QString text = QStringLiteral("北京市海淀区").left(at / 3) + QStringLiteral("12").left(at % 3);
            const int bytes = int(text.toUtf8().size());
            QTest::addRow("after %d bytes", bytes) << text + QStringLiteral("ZS路") << "zs" << true;
            QTest::addRow("after %d bytes, one letter short", bytes) << text + QStringLiteral("Z") << "zs" << false;
        }
    }
    void shouldFindAPartWhateverTheCaseOfItsLetters()
    {
        QFETCH(QString, text);
        QFETCH(QString, loweredPart);
        QFETCH(bool, found);
        QCOMPARE(containsIgnoringAsciiCase(text.toUtf8(), loweredPart.toUtf8()), found);
    }

    void shouldMatchOnlyTheNameByPinyin()
    {
        // The address reads zhang san too, but pinyin is looked for in the name only.
        QVERIFY(!finds(QStringLiteral("zs"), contact(QStringLiteral("李四"), {}, QStringLiteral("张三路"))));
    }

    void shouldSpellTheNameForPeople_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("spelled");
        QTest::newRow("syllables apart") << "张三丰"
                                         << "zhang san feng";
        QTest::newRow("surname reading") << "曾国藩"
                                         << "zeng guo fan";
        QTest::newRow("compound surname") << "万俟卨"
                                          << "mo qi xie";
        QTest::newRow("ü kept") << "吕布"
                                << "lü bu";
        QTest::newRow("traditional") << "張三"
                                     << "zhang san";
        QTest::newRow("Latin words as written") << "Li Lei"
                                                << "Li Lei";
        QTest::newRow("digits kept, symbols dropped") << "张三(北京)2号"
                                                      << "zhang san bei jing 2 hao";
        QTest::newRow("unreadable character as written") << "张ア"
                                                         << "zhang ア";
        QTest::newRow("empty") << ""
                               << "";
    }
    void shouldSpellTheNameForPeople()
    {
        QFETCH(QString, name);
        QFETCH(QString, spelled);
        QCOMPARE(spellName(name), spelled);
    }

    void shouldSpellPhoneticNamesForPhones_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<bool>("isSurname");
        QTest::addColumn<QString>("phonetic");
        QTest::newRow("surname") << "曾" << true << "Zeng";
        QTest::newRow("compound surname") << "欧阳" << true << "Ouyang";
        QTest::newRow("given name") << "三丰" << false << "Sanfeng";
        QTest::newRow("given name reads no surname") << "曾" << false << "Ceng";
        QTest::newRow("Latin part has none") << "Lei" << false << "";
        QTest::newRow("mixed runs") << "小Tom" << false << "Xiao Tom";
    }
    void shouldSpellPhoneticNamesForPhones()
    {
        QFETCH(QString, part);
        QFETCH(bool, isSurname);
        QFETCH(QString, phonetic);
        QCOMPARE(phoneticOf(part, isSurname), phonetic);
    }
};

QTEST_APPLESS_MAIN(PinyinSearchTest)
#include "test_pinyin_search.moc"
