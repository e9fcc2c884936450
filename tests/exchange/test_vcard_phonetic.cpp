// The pinyin a vCard carries for phones to sort Chinese names by, and what
// an import does with the pinyin it finds.

#include "exchange/vcard/VCardReader.h"
#include "exchange/vcard/VCardWriter.h"

#include <QBuffer>
#include <QTest>

namespace {

QStringList cardLines(const QString& name)
{
    StoredContact contact;
    contact.texts[size_t(ContactText::Name)] = name;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeVCards(buffer, {contact});
    return QString::fromUtf8(buffer.data()).split(QLatin1String("\r\n"), Qt::SkipEmptyParts);
}

QStringList phoneticLines(const QString& name)
{
    return cardLines(name).filter(QLatin1String("X-PHONETIC-"));
}

}  // namespace

class VCardPhoneticTest : public QObject {
    Q_OBJECT

private slots:
    void shouldSpellTheNameForPhones_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("surname and given name")
            << "张三丰" << QStringList{"X-PHONETIC-LAST-NAME:Zhang", "X-PHONETIC-FIRST-NAME:Sanfeng"};
        QTest::newRow("surname reading") << "曾国藩"
                                         << QStringList{"X-PHONETIC-LAST-NAME:Zeng", "X-PHONETIC-FIRST-NAME:Guofan"};
        QTest::newRow("compound surname")
            << "万俟卨" << QStringList{"X-PHONETIC-LAST-NAME:Moqi", "X-PHONETIC-FIRST-NAME:Xie"};
        QTest::newRow("ü") << "吕布" << QStringList{"X-PHONETIC-LAST-NAME:Lü", "X-PHONETIC-FIRST-NAME:Bu"};
        QTest::newRow("a Latin name has none") << "Li Lei" << QStringList{};
    }
    void shouldSpellTheNameForPhones()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, lines);
        QCOMPARE(phoneticLines(name), lines);
    }

    void shouldFollowTheStructuredName()
    {
        const QStringList lines = cardLines(QStringLiteral("张三"));
        const qsizetype n = lines.indexOf(QStringLiteral("N:张;三;;;"));
        QVERIFY(n >= 0);
        QCOMPARE(lines.value(n + 1), QStringLiteral("X-PHONETIC-LAST-NAME:Zhang"));
    }

    // A phonetic name that spells the name as the export would is dropped on
    // import (the next export writes it again); any other is kept for the report and 备注.
    void shouldKeepOnlyPhoneticNamesThatSayMore_data()
    {
        QTest::addColumn<QByteArray>("last");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("as exported") << QByteArray("Zhang") << QByteArray("Sanfeng") << QStringList{};
        QTest::newRow("case aside") << QByteArray("zhang") << QByteArray("SANFENG") << QStringList{};
        QTest::newRow("spelled otherwise")
            << QByteArray("Chang") << QByteArray("San Feng") << QStringList{"拼音:Chang", "拼音:San Feng"};
    }
    void shouldKeepOnlyPhoneticNamesThatSayMore()
    {
        QFETCH(QByteArray, last);
        QFETCH(QByteArray, first);
        QFETCH(QStringList, kept);
        const DraftSet set = readVCards("BEGIN:VCARD\r\nVERSION:3.0\r\nX-PHONETIC-LAST-NAME:" + last
                                        + "\r\nX-PHONETIC-FIRST-NAME:" + first + "\r\nFN:张三丰\r\nEND:VCARD\r\n");
        QCOMPARE(set.drafts.size(), 1);
        QStringList extras;
        for (const DraftExtra& extra : set.drafts[0].extras)
            extras << extra.label + QLatin1Char(':') + extra.value;
        QCOMPARE(extras, kept);
    }
};

QTEST_APPLESS_MAIN(VCardPhoneticTest)
#include "test_vcard_phonetic.moc"
