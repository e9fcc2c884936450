#include "platform/Gbk.h"
#include "platform/TextRules.h"
#include "platform/Trim.h"

#include <QTest>

class TextTest : public QObject {
    Q_OBJECT
private slots:
    void shouldEncodeGbkBytesAndKeepWhatGbkCannotHold()
    {
        QCOMPARE(toGbk(QStringLiteral("类别")), QByteArray("\xC0\xE0\xB1\xF0"));
        QCOMPARE(toGbk(QStringLiteral("提示")), QByteArray("\xCC\xE1\xCA\xBE"));
        QCOMPARE(toGbk(QStringLiteral("QQ")), QByteArray("QQ"));
        // A character outside GBK survives the round trip (GB18030 four-byte form).
        const QString rare = QString::fromUcs4(U"\U00020000a\u20AC");
        QCOMPARE(fromGbk(toGbk(rare)), rare);
        QCOMPARE(fromGbk(QByteArray("\xD0\xD5\xC3\xFB")), QStringLiteral("姓名"));
    }

    void shouldTrimOnlyCodesUpToBlank()
    {
        QCOMPARE(TrimControl(QStringLiteral(" \t张三   \r\n")), QStringLiteral("张三"));
        QCOMPARE(TrimControl(QStringLiteral("\u3000张三\u3000")), QStringLiteral("\u3000张三\u3000"));
        QCOMPARE(TrimControl(QString(QChar(0)) + "a" + QChar(31)), QStringLiteral("a"));
        QCOMPARE(TrimControl(QStringLiteral("   ")), QString());
        QCOMPARE(TrimControlBytes(QByteArray("\x01 ab \x20\x00", 7)), QByteArray("ab"));
    }

    void shouldLowerAsciiLettersOnly()
    {
        QCOMPARE(LowerAscii(QStringLiteral("CREATE Table ÄÖ 类")), QStringLiteral("create table ÄÖ 类"));
        QCOMPARE(LowerAsciiBytes(QByteArray("REPORT.XLS\xC0\xE0")), QByteArray("report.xls\xC0\xE0"));
    }

    void shouldTellPaddingFromWhiteSpace()
    {
        // Padding is what trimming takes: controls too, the ideographic space not.
        QVERIFY(IsAllPadding(QStringLiteral(" \t\x01\r\n")) && IsAllPadding(QString()));
        QVERIFY(!IsAllPadding(QStringLiteral(" \u3000 ")));
        QVERIFY(IsAllWhiteSpace(QStringLiteral(" \u3000\u00a0\t")));
        QVERIFY(!IsAllWhiteSpace(QStringLiteral(" \x01")));
    }

    void shouldAnswerUnicodeQuestionsAsIcuDoes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("han");
        QTest::addColumn<bool>("eastAsian");
        QTest::newRow("latin") << "a" << 1 << false << false;
        QTest::newRow("hanzi") << "张" << 2 << true << true;
        QTest::newRow("beyond the basic plane") << "\U00020000" << 2 << true << true;
        QTest::newRow("compatibility ideograph") << "\uF900" << 2 << true << true;
        QTest::newRow("iteration mark") << "\u3005" << 2 << true << true;
        QTest::newRow("katakana") << "\u30AB" << 2 << false << true;
        QTest::newRow("hangul") << "\uD55C" << 2 << false << true;
        QTest::newRow("full-width digit") << "\uFF11" << 2 << false << false;
        QTest::newRow("ideographic comma") << "\u3001" << 2 << false << false;
        QTest::newRow("emoji") << "\U0001F600" << 2 << false << false;
        QTest::newRow("emoji beyond U+1F64F") << "\U0001F680" << 2 << false << false;
        QTest::newRow("ambiguous middle dot") << "\u00B7" << 1 << false << false;
    }
    void shouldAnswerUnicodeQuestionsAsIcuDoes()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(bool, han);
        QFETCH(bool, eastAsian);
        const char32_t c = text.toUcs4().first();
        QCOMPARE(DisplayWidth(text), width);
        QCOMPARE(IsHan(c), han);
        QCOMPARE(IsEastAsianScript(c), eastAsian);
        QCOMPARE(ContainsEastAsianScript("Smith" + text), eastAsian);
    }

    void shouldKnowPhoneSeparators()
    {
        for (const QChar c : QStringLiteral(" \t\u3000-\u2013\uFF0D.\uFF0E\u00B7()\uFF08\uFF09[]\u3010\u3011"))
            QVERIFY2(IsPhoneSeparator(c), qPrintable(QString::number(c.unicode(), 16)));
        for (const QChar c : QStringLiteral("0+#*x转/"))
            QVERIFY2(!IsPhoneSeparator(c), qPrintable(QString::number(c.unicode(), 16)));
    }
};

QTEST_APPLESS_MAIN(TextTest)
#include "test_text.moc"
