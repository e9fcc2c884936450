#include "exchange/vcard/VCardValue.h"
#include "tests/support/TestRandom.h"

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

    // Long runs of letters decode sixteen at a time: any byte anywhere in a
    // run must be taken as the letter-by-letter reading takes it.
    void shouldTakeEveryByteInALongRunAsOneLetterAtATime()
    {
        const QByteArray plain = QByteArray("Tessaly reads a phone's pictures!").repeated(2).left(48);
        const QByteArray letters = plain.toBase64();  // 64 letters, no padding
        const QByteArray alphabet("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
        for (int place = 0; place < letters.size(); ++place) {
            for (int value = 0; value < 256; ++value) {
                const char c = static_cast<char>(value);
                const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
                // Put in beside the letters: only a blank leaves the bytes as they were.
                QByteArray text = letters;
                text.insert(place, c);
                QByteArray bytes;
                if (decodeBase64(text, bytes) != blank || (blank && bytes != plain))
                    QFAIL(qPrintable(QStringLiteral("byte %1 put in at %2").arg(value).arg(place)));
                // In place of a letter: another letter (or "=" last) gives other bytes, anything else but a blank none.
                if (blank)
                    continue;
                text = letters;
                text[place] = c;
                const bool ok = alphabet.contains(c) || (c == '=' && place == letters.size() - 1);
                if (decodeBase64(text, bytes) != ok || (ok && bytes != QByteArray::fromBase64(text)))
                    QFAIL(qPrintable(QStringLiteral("byte %1 in place of letter %2").arg(value).arg(place)));
            }
        }
        QRandomGenerator random = SeededRandom("base64 pictures", 20261208);
        for (int round = 0; round < 200; ++round) {
            QByteArray picture(random.bounded(1, 3000), Qt::Uninitialized);
            for (char& byte : picture)
                byte = static_cast<char>(random.bounded(256));
            QByteArray folded = picture.toBase64();
            for (int breaks = random.bounded(5); breaks > 0; --breaks)
                folded.insert(random.bounded(folded.size()), "\r\n ");
            QByteArray bytes;
            QVERIFY(decodeBase64(folded, bytes));
            QCOMPARE(bytes, picture);
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
