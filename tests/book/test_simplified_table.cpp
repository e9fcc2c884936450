// The table made at build time gives for every common ideograph what ICU's
// Hant-Hans transliterator gives for it when the program runs, and names
// written in traditional characters compare as their simplified forms.

#include "book/DuplicateGroups.h"
#include "book/SimplifiedTable.h"

#include <QTest>

#include <memory>
#include <unicode/translit.h>
#include <unicode/unistr.h>

class SimplifiedTableTest : public QObject {
    Q_OBJECT

private slots:
    void shouldGiveWhatIcuGivesForEveryCommonIdeograph()
    {
        UErrorCode status = U_ZERO_ERROR;
        const std::unique_ptr<icu::Transliterator> toSimplified(
            icu::Transliterator::createInstance("Hant-Hans", UTRANS_FORWARD, status));
        QVERIFY(U_SUCCESS(status));
        int changed = 0;
        for (char32_t c = simplified_table::first; c <= simplified_table::last; ++c) {
            icu::UnicodeString text = icu::UnicodeString(UChar32(c));
            toSimplified->transliterate(text);
            const char16_t expected = text.length() == 1 ? text.charAt(0) : 0;
            QCOMPARE(simplified_table::units[c - simplified_table::first], expected);
            changed += expected != c ? 1 : 0;
        }
        QVERIFY(changed > 2000);  // a table of its own characters would be no table
    }

    void shouldCompareTraditionalNamesAsSimplified_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("compared");
        QTest::newRow("traditional") << "張偉"
                                     << "张伟";
        QTest::newRow("simplified already") << "张伟"
                                            << "张伟";
        QTest::newRow("blanks and Latin case") << " 陳 Ming "
                                               << "陈ming";
        QTest::newRow("full-width letters, not plain") << "王ＡＢ"
                                                       << "王ab";
    }
    void shouldCompareTraditionalNamesAsSimplified()
    {
        QFETCH(QString, name);
        QFETCH(QString, compared);
        QCOMPARE(ComparedName(name), compared);
    }
};

QTEST_GUILESS_MAIN(SimplifiedTableTest)
#include "test_simplified_table.moc"
