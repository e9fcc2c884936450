// The sync's pure parts: the decision per contact, the field-by-field merge,
// and a card changed only where the book changed.

#include "exchange/ContactLabels.h"
#include "exchange/vcard/CardText.h"
#include "sync/CardPatch.h"
#include "sync/FieldMerge.h"
#include "sync/SyncDecision.h"

#include <QTest>

Q_DECLARE_METATYPE(SyncItem)
Q_DECLARE_METATYPE(SyncAction)

namespace {

using S = SideState;
using A = SyncAction;

ContactFields fields(std::initializer_list<std::pair<ContactText, QString>> texts, QList<DraftExtra> values = {})
{
    ContactFields f;
    for (const auto& [column, text] : texts)
        f.texts[size_t(column)] = text;
    f.values = std::move(values);
    return f;
}

const ColumnWidths wide = {20, 50, 20, 20, 20, 100, 200};

// A card as a phone writes one: labels, phonetic names, a birthday of the other
// calendar, a note with commas, properties the book has no place for.
const QByteArray phoneCard = "BEGIN:VCARD\r\n"
                             "VERSION:3.0\r\n"
                             "PRODID:-//Apple Inc.//iPhone OS 17.0//EN\r\n"
                             "N:张;三;;;\r\n"
                             "FN:张三\r\n"
                             "X-PHONETIC-LAST-NAME:Zhang\r\n"
                             "TEL;TYPE=CELL;TYPE=pref:13812345678\r\n"
                             "item1.TEL:010-66778899\r\n"
                             "item1.X-ABLabel:老家\r\n"
                             "EMAIL;TYPE=INTERNET:zs@example.cn\r\n"
                             "X-ALTBDAY;CALSCALE=chinese:19900815\r\n"
                             "NOTE:喜欢喝茶\\, 不吃辣\\; 周末有空\r\n"
                             "X-SOCIALPROFILE;TYPE=weibo;X-USER=zs:http://weibo.com/zs\r\n"
                             "X-CUSTOM-THING;X-PARAM=\"a,b\":值\r\n"
                             "UID:8B7A-11\r\n"
                             "REV:2026-01-01T00:00:00Z\r\n"
                             "END:VCARD\r\n";

// The lines a card holds, unfolded, without REV and PRODID, sorted.
QByteArrayList linesOf(const QByteArray& card)
{
    return NormalisedCard(card).split('\n');
}

}  // namespace

class SyncMergeTest : public QObject {
    Q_OBJECT

private slots:
    void decidesEachCase_data()
    {
        QTest::addColumn<SyncItem>("item");
        QTest::addColumn<SyncAction>("action");
        QTest::newRow("new record") << SyncItem{false, false, S::Changed, S::Absent} << A::CreateCard;
        QTest::newRow("new card") << SyncItem{false, false, S::Absent, S::Changed} << A::CreateRecord;
        QTest::newRow("in step") << SyncItem{true, false, S::Unchanged, S::Unchanged} << A::None;
        QTest::newRow("book changed") << SyncItem{true, false, S::Changed, S::Unchanged} << A::Upload;
        QTest::newRow("server changed") << SyncItem{true, false, S::Unchanged, S::Changed} << A::Download;
        QTest::newRow("both changed") << SyncItem{true, false, S::Changed, S::Changed} << A::Merge;
        QTest::newRow("deleted in book") << SyncItem{true, false, S::Absent, S::Unchanged} << A::DeleteCard;
        QTest::newRow("deleted in book, changed on phone")
            << SyncItem{true, false, S::Absent, S::Changed} << A::PutBackRecord;
        QTest::newRow("deleted on phone") << SyncItem{true, false, S::Unchanged, S::Absent} << A::DeleteRecord;
        QTest::newRow("deleted on phone, changed in book")
            << SyncItem{true, false, S::Changed, S::Absent} << A::RemakeCard;
        QTest::newRow("deleted on both") << SyncItem{true, false, S::Absent, S::Absent} << A::Forget;
        QTest::newRow("sent, answer lost") << SyncItem{true, true, S::Unchanged, S::Changed} << A::Adopt;
        QTest::newRow("sent, never arrived") << SyncItem{true, true, S::Unchanged, S::Absent} << A::CreateCard;
    }
    void decidesEachCase()
    {
        QFETCH(SyncItem, item);
        QFETCH(SyncAction, action);
        QCOMPARE(Decide(item), action);
    }

    void mergesFieldByField()
    {
        const ContactFields base =
            fields({{ContactText::Name, u"张三"_qs}, {ContactText::Phone, u"138"_qs}, {ContactText::Note, u"旧"_qs}},
                   {{u"邮箱"_qs, u"a@x.cn"_qs}, {u"单位"_qs, u"甲"_qs}});
        // The book changes the phone and drops the company; the phone changes the note and adds a mail.
        ContactFields book = base;
        book.texts[size_t(ContactText::Phone)] = u"139"_qs;
        book.values.removeLast();
        ContactFields server = base;
        server.texts[size_t(ContactText::Note)] = u"新"_qs;
        server.values.append({u"邮箱"_qs, u"b@x.cn"_qs});
        const FieldMerge m = MergeFields(base, book, base, server);
        QVERIFY(m.conflicts().isEmpty());
        QCOMPARE(m.merged.text(ContactText::Phone), u"139"_qs);
        QCOMPARE(m.merged.text(ContactText::Note), u"新"_qs);
        const QList<DraftExtra> expected = {{u"邮箱"_qs, u"a@x.cn"_qs}, {u"邮箱"_qs, u"b@x.cn"_qs}};
        QCOMPARE(m.merged.values, expected);
        QVERIFY(m.changes(Side::Book) && m.changes(Side::Server));

        // The same field changed on both sides is a conflict until a side is picked, and the same change is none.
        server.texts[size_t(ContactText::Phone)] = u"137"_qs;
        const FieldMerge clash = MergeFields(base, book, base, server);
        QCOMPARE(clash.conflicts(), QList<SyncField>{SyncField::Phone});
        const FieldMerge picked = MergeFields(base, book, base, server, {{SyncField::Phone, Side::Server}});
        QVERIFY(picked.conflicts().isEmpty());
        QCOMPARE(picked.merged.text(ContactText::Phone), u"137"_qs);
        server.texts[size_t(ContactText::Phone)] = u"139"_qs;
        QVERIFY(MergeFields(base, book, base, server).conflicts().isEmpty());

        // Nothing changed on either side writes neither, even where the two lay values out differently.
        ContactFields laidOut = base;
        laidOut.values.append({u"邮编"_qs, u"100000"_qs});
        const FieldMerge quiet = MergeFields(base, base, laidOut, laidOut);
        QVERIFY(!quiet.changes(Side::Book) && !quiet.changes(Side::Server));
    }

    void patchesOnlyWhatTheBookChanged()
    {
        const ContactFields before = FieldsOfCard(phoneCard, wide);
        QCOMPARE(before.text(ContactText::Phone), u"13812345678"_qs);
        ContactFields after = before;
        after.texts[size_t(ContactText::Phone)] = u"13900001111"_qs;
        after.texts[size_t(ContactText::Note)] = u"喜欢喝茶, 不吃辣; 周末有空。新号码"_qs;
        const QByteArray patched =
            PatchCard(phoneCard, before, after, {{SyncField::Phone, SyncField::Note}, false, {}});
        QByteArrayList expected = linesOf(phoneCard);

        expected.replace(expected.indexOf("NOTE:喜欢喝茶\\, 不吃辣\\; 周末有空"),
                         "NOTE:喜欢喝茶\\, 不吃辣\\; 周末有空。新号码");
        expected.replace(expected.indexOf("TEL;TYPE=CELL,PREF:13812345678"), "TEL;TYPE=CELL,PREF:13900001111");
        std::sort(expected.begin(), expected.end());
        QCOMPARE(linesOf(patched), expected);
        QCOMPARE(FieldsOfCard(patched, wide), after);
        QVERIFY(patched.contains("\r\nREV:"));
    }

    void patchesNamesValuesAndPhotos()
    {
        const ContactFields before = FieldsOfCard(phoneCard, wide);
        ContactFields after = before;
        after.texts[size_t(ContactText::Name)] = u"李四"_qs;
        after.texts[size_t(ContactText::Address)] = u"北京市海淀区中关村大街1号"_qs;
        // The book dropped the mail and added a second mobile under its own label.
        after.values.removeIf([](const DraftExtra& v) { return v.value == u"zs@example.cn"_qs; });
        after.values.append({LabelWithKind(u"电话"_qs, u"公司"_qs), u"13700002222"_qs});
        CardChanges changes{{SyncField::Name, SyncField::Address, SyncField::Photo}, true, "\xFF\xD8jpeg"};
        const QByteArray patched = PatchCard(phoneCard, before, after, changes);
        const QByteArrayList lines = linesOf(patched);
        QVERIFY(lines.contains("FN:李四"));
        QVERIFY(lines.contains("N:李;四;;;"));
        QVERIFY(lines.contains("X-PHONETIC-LAST-NAME:Li"));
        QVERIFY(!patched.contains("zs@example.cn"));
        QVERIFY(lines.contains("ITEM1.TEL:010-66778899"));  // the phone's own group stays
        QVERIFY2(lines.contains("ITEM2.X-ABLABEL:公司"),
                 lines.join('|').constData());  // the new one takes a free group
        QVERIFY(lines.contains("PHOTO;ENCODING=b;TYPE=JPEG:" + QByteArray("\xFF\xD8jpeg").toBase64()));
        QVERIFY(lines.contains("X-CUSTOM-THING;X-PARAM=a,b:值"));
        ContactFields read = FieldsOfCard(patched, wide);
        read.photo.clear();
        after.photo.clear();
        QCOMPARE(read.text(ContactText::Name), after.text(ContactText::Name));
        QCOMPARE(read.text(ContactText::Address), after.text(ContactText::Address));
        for (const DraftExtra& v : after.values)
            QVERIFY2(read.values.contains(v), qPrintable(v.label + v.value));
    }

    void newCardsCarryTheirIdentity()
    {
        StoredContact record;
        record.texts[size_t(ContactText::Name)] = u"王五"_qs;
        record.texts[size_t(ContactText::Note)] = u"a, b; c\\d"_qs;
        const QByteArray card = NewCard(record, "uid-1", QDateTime(QDate(2026, 12, 8), QTime(10, 0), Qt::UTC));
        QVERIFY(card.startsWith("BEGIN:VCARD\r\nVERSION:3.0\r\n"));
        QVERIFY(card.contains("\r\nUID:uid-1\r\n"));
        QVERIFY(card.contains("\r\nREV:20261208T100000Z\r\n"));
        QVERIFY(card.contains("\r\nNOTE:a\\, b\\; c\\\\d\r\n"));
        QCOMPARE(CardUid(card), QByteArray("uid-1"));
        QCOMPARE(FieldsOfCard(card, wide).text(ContactText::Note), record.text(ContactText::Note));
    }
};

QTEST_GUILESS_MAIN(SyncMergeTest)
#include "test_sync_merge.moc"
