#include "store/Base64.h"

#include <QTest>

class Base64Test : public QObject {
    Q_OBJECT
private slots:
    void shouldEncodeWithPadding_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("three") << QByteArray("abc") << QByteArray("YWJj");
        QTest::newRow("two") << QByteArray("ab") << QByteArray("YWI=");
        QTest::newRow("one") << QByteArray("a") << QByteArray("YQ==");
        QTest::newRow("zeros") << QByteArray("\0\0\0\0", 4) << QByteArray("AAAAAA==");
        QTest::newRow("high bytes") << QByteArray("\xFF\xFE\xFB") << QByteArray("//77");
        QTest::newRow("gbk") << QByteArray("\xD0\xD5\xC3\xFB") << QByteArray("0NXD+w==");
    }
    void shouldEncodeWithPadding()
    {
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, encoded);
        QCOMPARE(Base64Encode(plain), encoded);
    }

    void shouldDecodeEveryTextWithoutRejecting_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("decoded");
        QTest::newRow("abc") << QByteArray("YWJj") << QByteArray("abc");
        QTest::newRow("ab") << QByteArray("YWI=") << QByteArray("ab");
        QTest::newRow("a") << QByteArray("YQ==") << QByteArray("a");
        QTest::newRow("partial group ignored") << QByteArray("YWJjYQ") << QByteArray("abc");
        QTest::newRow("stops at pad in third place") << QByteArray("YQ==YWJj") << QByteArray("a");
        QTest::newRow("pad in fourth place stops too") << QByteArray("YWI=YWJj") << QByteArray("ab");
        QTest::newRow("foreign byte counts as 255") << QByteArray("YW*j") << QByteArray("\x61\x7F\xE3");
        QTest::newRow("foreign byte first") << QByteArray("*AAA") << QByteArray("\xFC\x00\x00", 3);
        QTest::newRow("foreign byte fourth") << QByteArray("AAA*") << QByteArray("\x00\x00\xFF", 3);
        QTest::newRow("pad second is 64") << QByteArray("Y=Jj") << QByteArray("\x64\x02\x63");
        QTest::newRow("pad first is 64") << QByteArray("=WJj") << QByteArray("\x01\x62\x63");
        QTest::newRow("short text") << QByteArray("YWJ") << QByteArray();
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("trailing CRLF") << QByteArray("YWJj\r\n") << QByteArray("abc");
        QTest::newRow("leading blank") << QByteArray(" YWJj\r\n") << QByteArray("\xFD\x85\x89");
        QTest::newRow("case matters") << QByteArray("ywjj") << QByteArray("\xCB\x08\xE3");
    }
    void shouldDecodeEveryTextWithoutRejecting()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, decoded);
        QCOMPARE(Base64Decode(text), decoded);
    }

    void shouldRoundTripEveryByteValue()
    {
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all += static_cast<char>(i);
        for (int length = 0; length <= all.size(); length += 1) {
            const QByteArray piece = all.left(length);
            QCOMPARE(Base64Decode(Base64Encode(piece)), piece);
        }
        QCOMPARE(Base64Encode(all).size(), 4 * ((256 + 2) / 3));
    }
};

QTEST_APPLESS_MAIN(Base64Test)
#include "test_base64.moc"
