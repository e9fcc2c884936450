// The reading table against its sources: ICU's own reading of every GB2312
// character must be among the table's, so a regenerated table cannot drift;
// the surnames read as surnames, hand corrections included.

#include "exchange/pinyin/NameReading.h"
#include "exchange/pinyin/PinyinTable.h"

#include <QStringDecoder>
#include <QTest>

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace {

// Every Han character of GB2312: rows 16 to 87 of the two-byte area, decoded
// by GBK, which also fills the five cells GB2312 leaves empty at the end of row 55.
QList<char32_t> gb2312Hanzi()
{
    QStringDecoder decoder("GB2312");
    QList<char32_t> characters;
    for (int row = 0xB0; row <= 0xF7; ++row) {
        const int lastCell = row == 0xD7 ? 0xF9 : 0xFE;
        for (int cell = 0xA1; cell <= lastCell; ++cell) {
            const char bytes[] = {char(row), char(cell)};
            QString text = decoder.decode(QByteArrayView(bytes, 2));
            if (decoder.hasError()) {
                decoder.resetState();
                continue;
            }
            if (text.size() == 1 && text[0] != QChar::ReplacementCharacter)
                characters.append(text[0].unicode());
        }
    }
    return characters;
}

// "lǚ" -> "lv": the table's spelling of a reading.
QString toneless(const QString& reading)
{
    QString out;
    for (const QChar c : reading.normalized(QString::NormalizationForm_D)) {
        if (c.unicode() == 0x0308 && out.endsWith(QLatin1Char('u')))
            out.back() = QLatin1Char('v');
        else if (c.unicode() < 0x0300 || c.unicode() > 0x036F)
            out += c.toLower();
    }
    return out;
}

QStringList syllables(std::span<const std::uint16_t> ids)
{
    QStringList out;
    for (const std::uint16_t id : ids)
        out.append(syllableText(id));
    return out;
}

QStringList common(const QString& character)
{
    return syllables(readingsOf(character.toUcs4().front()).common);
}

QStringList asSurname(const QString& name)
{
    std::vector<NamePiece> pieces;
    readName(name, true, pieces);
    QStringList out;
    for (const NamePiece& piece : pieces)
        out.append(syllables(piece.syllables()).join(QLatin1Char('|')));
    return out;
}

}  // namespace

class PinyinTableTest : public QObject {
    Q_OBJECT

private slots:
    void shouldHoldIcusReadingOfEveryGb2312Character()
    {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> latin(
            icu::Transliterator::createInstance("Han-Latin", UTRANS_FORWARD, status));
        QVERIFY(U_SUCCESS(status));
        const QList<char32_t> hanzi = gb2312Hanzi();
        QCOMPARE(hanzi.size(), 6763);
        QStringList missing;
        for (const char32_t c : hanzi) {
            icu::UnicodeString s{UChar32(c)};
            latin->transliterate(s);
            const QString icuReading = toneless(QString::fromUtf16(s.getBuffer(), s.length()));
            const QStringList table = syllables(readingsOf(c).common);
            if (table.isEmpty() || table.front() != icuReading)
                missing.append(QString::fromUcs4(&c, 1) + QLatin1Char(' ') + icuReading
                               + QLatin1String(" not first of ") + table.join(QLatin1Char(',')));
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.mid(0, 20).join(QLatin1String("; "))));
    }

    void shouldKeepEveryCommonReadingOfAPolyphone_data()
    {
        QTest::addColumn<QString>("character");
        QTest::addColumn<QStringList>("readings");
        QTest::newRow("长") << "长" << QStringList{"chang", "zhang"};
        QTest::newRow("乐") << "乐" << QStringList{"le", "yue"};
        QTest::newRow("行") << "行" << QStringList{"xing", "hang"};
        QTest::newRow("单") << "单" << QStringList{"dan", "shan", "chan"};
        QTest::newRow("traditional 長") << "長" << QStringList{"chang", "zhang"};
        QTest::newRow("吕 keeps ü as v") << "吕" << QStringList{"lv"};
        QTest::newRow("beyond the common block") << "𠀁" << QStringList{"qi"};
    }
    void shouldKeepEveryCommonReadingOfAPolyphone()
    {
        QFETCH(QString, character);
        QFETCH(QStringList, readings);
        const QStringList table = common(character);
        for (const QString& r : readings)
            QVERIFY2(table.contains(r), qPrintable(character + QLatin1String(": ") + table.join(QLatin1Char(','))));
    }

    void shouldLeaveOutClassicalReadings()
    {
        // kHanyuPinyin reads 搬 as su and 包 as fu too; nobody types those.
        QCOMPARE(common("搬"), QStringList{"ban"});
        QCOMPARE(common("包"), QStringList{"bao"});
    }

    // Each name's leading character or two read as a surname. The rows marked
    // "corrected" are the readings the data gets wrong and the table mends.
    void shouldReadTheSurname_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("reading");
        QTest::newRow("曾") << "曾国藩" << QStringList{"zeng", "guo", "fan"};
        QTest::newRow("单") << "单雄信" << QStringList{"shan", "xiong", "xin"};
        QTest::newRow("解") << "解缙" << QStringList{"xie", "jin"};
        QTest::newRow("区") << "区寄" << QStringList{"ou", "ji"};
        QTest::newRow("仇") << "仇英" << QStringList{"qiu", "ying"};
        QTest::newRow("查") << "查良镛" << QStringList{"zha", "liang", "yong"};
        QTest::newRow("长 alone") << "长明" << QStringList{"chang", "ming"};
        QTest::newRow("长孙") << "长孙无忌" << QStringList{"zhang", "sun", "wu|mo", "ji"};
        QTest::newRow("万俟") << "万俟卨" << QStringList{"mo", "qi", "xie"};
        QTest::newRow("traditional 萬俟") << "萬俟卨" << QStringList{"mo", "qi", "xie"};
        QTest::newRow("traditional 單") << "單雄信" << QStringList{"shan", "xiong", "xin"};
        QTest::newRow("corrected 朴") << "朴槿惠" << QStringList{"piao", "jin", "hui"};
        QTest::newRow("corrected 缪") << "缪平" << QStringList{"miao", "ping"};
        QTest::newRow("corrected 覃") << "覃明" << QStringList{"qin|tan", "ming"};
        QTest::newRow("corrected 乐") << "乐嘉" << QStringList{"yue|le", "jia"};
        QTest::newRow("corrected 尉") << "尉缭" << QStringList{"wei", "liao"};
        QTest::newRow("corrected 尉迟") << "尉迟恭" << QStringList{"yu", "chi", "gong"};
    }
    void shouldReadTheSurname()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, reading);
        QCOMPARE(asSurname(name), reading);
    }
};

QTEST_APPLESS_MAIN(PinyinTableTest)
#include "test_pinyin_table.moc"
