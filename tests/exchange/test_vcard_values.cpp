#include "exchange/vcard/VCardValue.h"

#include <QTest>

class VCardValuesTest : public QObject {
    Q_OBJECT
private slots:
    void shouldDecodeWhatBase64EncodersWrite()
    {
        QByteArray plain;
        for (int length = 0; length < 300; ++length) {
            QByteArray bytes;
            QVERIFY(decodeBase64(plain.toBase64(), bytes));
            QCOMPARE(bytes, plain);
            QVERIFY(decodeBase64(plain.toBase64(QByteArray::OmitTrailingEquals), bytes));
            QCOMPARE(bytes, plain);
            plain += static_cast<char>(length * 7 + 3);
        }
    }

    void shouldDecodeBase64_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("folded with blanks and line ends")
            << QByteArray(" YW\r\n  Jj\tYQ\n==") << true << QByteArray("abca");
        QTest::newRow("whole groups, then a break inside one")
            << QByteArray("YWJjYWJj\r\n YW\r\n Jj") << true << QByteArray("abcabcabc");
        QTest::newRow("empty") << QByteArray() << true << QByteArray();
        QTest::newRow("foreign letter") << QByteArray("YW*j") << false << QByteArray();
        QTest::newRow("url-safe letters") << QByteArray("_-8=") << false << QByteArray();
        QTest::newRow("letters after padding") << QByteArray("YQ==YWJj") << false << QByteArray();
        QTest::newRow("one letter left over") << QByteArray("YWJjY") << false << QByteArray();
        QTest::newRow("too much padding") << QByteArray("YQ===") << false << QByteArray();
        QTest::newRow("padding alone") << QByteArray("====") << false << QByteArray();
    }
    void shouldDecodeBase64()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, ok);
        QFETCH(QByteArray, bytes);
        QByteArray decoded("untouched");
        QCOMPARE(decodeBase64(text, decoded), ok);
        QCOMPARE(decoded, ok ? bytes : QByteArray("untouched"));
    }

    void shouldDecodeQuotedPrintable_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("upper and lower hex") << QByteArray("=E4=b8=80") << QByteArray("\xE4\xB8\x80");
        QTest::newRow("plain letters") << QByteArray("a b=3Dc") << QByteArray("a b=c");
        QTest::newRow("stray equals sign") << QByteArray("1=2 =G0 =") << QByteArray("1=2 =G0 =");
        QTest::newRow("cut sequence") << QByteArray("ab=E") << QByteArray("ab=E");
        QTest::newRow("zero byte") << QByteArray("=00") << QByteArray(1, '\0');
    }
    void shouldDecodeQuotedPrintable()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(decodeQuotedPrintable(text), bytes);
    }

    void shouldSplitAndUnescapeStructuredValues()
    {
        QCOMPARE(splitEscaped(u"a\\;b;c\\\\;;d"_qs, QLatin1Char(';')),
                 (QStringList{u"a\\;b"_qs, u"c\\\\"_qs, QString(), u"d"_qs}));
        QCOMPARE(splitEscaped(u"x\\"_qs, QLatin1Char(';')), QStringList{u"x\\"_qs});
        QCOMPARE(unescapeText(u"a\\,b\\;c\\\\d\\ne\\Nf\\tg\\"_qs, true), u"a,b;c\\d\ne\nf\\tg\\"_qs);
        QCOMPARE(unescapeText(u"C:\\new\\;"_qs, false), u"C:\\new;"_qs);
    }
};

QTEST_GUILESS_MAIN(VCardValuesTest)
#include "test_vcard_values.moc"
