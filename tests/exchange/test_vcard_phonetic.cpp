// The pinyin a vCard carries for phones to sort Chinese names by.

#include "VCardWriter.h"

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
        QTest::newRow("surname reading")
            << "曾国藩" << QStringList{"X-PHONETIC-LAST-NAME:Zeng", "X-PHONETIC-FIRST-NAME:Guofan"};
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
};

QTEST_APPLESS_MAIN(VCardPhoneticTest)
#include "test_vcard_phonetic.moc"
