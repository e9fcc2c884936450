// Fitted contacts held in an import's spool file: each read back as it went in.

#include "exchange/FittedContacts.h"
#include "exchange/SpoolFile.h"

#include <QTest>

class FittedContactsTest : public QObject {
    Q_OBJECT

private slots:
    // Small appends wait to be written together, a large one goes straight in;
    // whatever is read, waiting or written, comes back as it was appended.
    void shouldReadBackEveryAppendWrittenOrWaiting()
    {
        SpoolFile spool;
        const QList<QByteArray> pieces{
            "abc", QByteArray(700000, 'x'), "defg", QByteArray(400000, 'y'), QByteArray(3 << 20, 'z'), "h"};
        QList<qint64> offsets;
        for (const QByteArray& piece : pieces) {
            offsets << spool.append(piece);
            QCOMPARE(spool.read(offsets.first(), 3), QByteArray("abc"));
            QCOMPARE(spool.read(offsets.last(), piece.size()), piece);
        }
        for (qsizetype i = 0; i < pieces.size(); ++i)
            QCOMPARE(spool.read(offsets[i], pieces[i].size()), pieces[i]);
        QCOMPARE(spool.read(offsets[2] - 2, 4), QByteArray("xxde"));
    }

    void shouldGiveBackEachContactWhole()
    {
        const auto file = std::make_shared<SpoolFile>();
        const auto elsewhere = std::make_shared<SpoolFile>();
        QList<FittedContact> given(4);
        for (int i = 0; i < given.size(); ++i) {
            given[i].line = 10 * i + 1;
            given[i].texts[size_t(ContactText::Name)] = QStringLiteral("张%1").arg(i);
            given[i].texts[size_t(ContactText::Note)] = QStringLiteral("备注 %1").arg(i);
        }
        given[1].kept = {{QStringLiteral("邮箱"), QStringLiteral("a@b.cn")}, {QStringLiteral("网址"), {}}};
        given[1].notes = {QStringLiteral("备注已满，另存于通讯录：邮箱、网址")};
        given[1].cut = true;
        given[2].photo = FittedPhoto(QByteArray("\xff\xd8 in memory"));
        const QByteArray spooled("\xff\xd8 in another file");
        const FittedPhoto inAnotherFile(elsewhere, elsewhere->append(spooled), spooled.size());
        given[3].photo = inAnotherFile;

        FittedContacts contacts(file);
        for (const FittedContact& contact : given)
            contacts.append(contact);
        QCOMPARE(contacts.size(), given.size());
        QVERIFY(contacts.anyKept());
        int i = 0;
        for (const FittedContact& back : contacts) {
            const FittedContact& was = given[i++];
            QCOMPARE(back.line, was.line);
            QCOMPARE(QStringList(back.texts.begin(), back.texts.end()),
                     QStringList(was.texts.begin(), was.texts.end()));
            QCOMPARE(back.kept, was.kept);
            QCOMPARE(back.notes, was.notes);
            QCOMPARE(back.cut, was.cut);
            QCOMPARE(bool(back.photo), bool(was.photo));
            QCOMPARE(back.photo.bytes(), was.photo.bytes());
        }
        const FittedContacts some = contacts.only({3, 0});
        QCOMPARE(some.size(), 2);
        QCOMPARE(some.first().line, 31);
        QCOMPARE(some[1].line, 1);
        QVERIFY(!some.anyKept());
    }
};

QTEST_GUILESS_MAIN(FittedContactsTest)
#include "test_fittedcontacts.moc"
