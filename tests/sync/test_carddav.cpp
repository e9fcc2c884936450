// The CardDAV conversation against a real Radicale: finding the address book
// every way clients do, listing by PROPFIND and by sync-collection, fetching in
// batches, and writing only under the precondition the caller gave.

#include "sync/CardDav.h"
#include "sync/CardDavServer.h"
#include "tests/support/RadicaleServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QThread>

namespace {

QByteArray Card(const QString& uid, const QString& name)
{
    return QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%1\r\nFN:%2\r\nN:%2;;;;\r\nEND:VCARD\r\n")
        .arg(uid, name)
        .toUtf8();
}

QStringList Hrefs(const QList<ListedCard>& cards)
{
    QStringList hrefs;
    for (const ListedCard& card : cards)
        hrefs << card.href;
    hrefs.sort();
    return hrefs;
}

}  // namespace

class CardDavTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RadicaleServer> server;
    std::unique_ptr<DavClient> client;
    QUrl book;  // 联系人, made once; each test writes cards of its own names into it

    QString href(const QString& name) const { return CardHref(book.resolved(QUrl(name))); }
    QUrl url(const QString& name) const { return book.resolved(QUrl(name)); }

    QByteArray create(const QString& name)
    {
        const PutResult put = PutCard(*client, url(name + QStringLiteral(".vcf")), Card(name, name), {});
        return put.outcome == PutOutcome::Done ? put.etag : QByteArray();
    }

private slots:
    void initTestCase()
    {
        if (!RadicaleServer::missing().isEmpty())
            QSKIP(qPrintable(RadicaleServer::missing()));
        server = std::make_unique<RadicaleServer>(RadicaleServer::Setup::Password);
        QVERIFY2(server->started(), qPrintable(server->failure()));
        book = server->createAddressBook(QStringLiteral("contacts"), QStringLiteral("联系人"));
        QVERIFY(book.isValid());
        QVERIFY(server->createAddressBook(QStringLiteral("work"), QStringLiteral("同事")).isValid());
        client = std::make_unique<DavClient>(server->account());
    }

    void cleanupTestCase()
    {
        client.reset();
        server.reset();
    }

    void shouldFindTheAddressBooksEveryWayClientsDo_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("names");
        const QStringList both{QStringLiteral("同事"), QStringLiteral("联系人")};
        QTest::newRow("the address book itself")
            << QStringLiteral("/li/contacts/") << QStringList{QStringLiteral("联系人")};
        QTest::newRow("through the principal") << QStringLiteral("/") << both;
        QTest::newRow("the principal, its own home set") << QStringLiteral("/li/") << both;
        // Radicale answers 403 here, and /.well-known/carddav with 301 to /.
        QTest::newRow("through /.well-known") << QStringLiteral("/somewhere/else/") << both;
    }

    void shouldFindTheAddressBooksEveryWayClientsDo()
    {
        QFETCH(QString, start);
        QFETCH(QStringList, names);
        const QList<AddressBookFound> found = DiscoverAddressBooks(*client, server->root().resolved(QUrl(start)));
        QStringList foundNames;
        for (const AddressBookFound& one : found)
            foundNames << one.name;
        foundNames.sort();
        QCOMPARE(foundNames, names);
        const auto contacts = std::find_if(
            found.begin(), found.end(), [](const AddressBookFound& b) { return b.name == QStringLiteral("联系人"); });
        QCOMPARE(contacts->url, book);
    }

    void shouldWorkOnAThreadOfItsOwnAndStopWhenCancelled()
    {
        // As the tools window runs it: a client made and used on a worker thread.
        QList<AddressBookFound> found;
        bool cancelledThere = false;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            DavClient workerClient(server->account());
            found = DiscoverAddressBooks(workerClient, server->root());
            workerClient.cancelled = [] { return true; };
            try {
                ListAllCards(workerClient, book);
            } catch (const DavCancelled&) {
                cancelledThere = true;
            }
        }));
        worker->start();
        QVERIFY(worker->wait(20000));
        QCOMPARE(found.size(), 2);
        QVERIFY(cancelledThere);
    }

    void shouldSayWhenTheServerHasNoAddressBook()
    {
        RadicaleServer empty(RadicaleServer::Setup::Password);
        QVERIFY2(empty.started(), qPrintable(empty.failure()));
        DavClient emptyClient(empty.account());
        QVERIFY(DiscoverAddressBooks(emptyClient, empty.root()).isEmpty());
    }

    void shouldListCardsByPropfindAndBySyncCollection()
    {
        const CollectionTags before = ReadCollectionTags(*client, book);
        QVERIFY(before.syncCollection);
        QVERIFY(!before.ctag.isEmpty());
        QVERIFY(!before.syncToken.isEmpty());

        const QByteArray keptTag = create(QStringLiteral("list-kept"));
        const QByteArray changedTag = create(QStringLiteral("list-changed"));
        const QByteArray goneTag = create(QStringLiteral("list-gone"));
        QVERIFY(!keptTag.isEmpty() && !changedTag.isEmpty() && !goneTag.isEmpty());

        const CardListing all = ListAllCards(*client, book);
        QVERIFY(Hrefs(all.cards).contains(href(QStringLiteral("list-kept.vcf"))));
        QVERIFY(!Hrefs(all.cards).contains(CardHref(book)));  // the collection is no card
        for (const ListedCard& card : all.cards)
            if (card.href == href(QStringLiteral("list-changed.vcf")))
                QCOMPARE(card.etag, changedTag);
        QCOMPARE(all.syncToken, ReadCollectionTags(*client, book).syncToken);

        QCOMPARE(
            PutCard(*client, url(QStringLiteral("list-changed.vcf")), Card("list-changed", "改过"), changedTag).outcome,
            PutOutcome::Done);
        QCOMPARE(DeleteCard(*client, url(QStringLiteral("list-gone.vcf")), goneTag), DeleteOutcome::Done);
        const CardListing changes = ListChangedCards(*client, book, all.syncToken);
        QCOMPARE(Hrefs(changes.cards), QStringList{href(QStringLiteral("list-changed.vcf"))});
        QCOMPARE(changes.removed, QStringList{href(QStringLiteral("list-gone.vcf"))});
        QVERIFY(changes.syncToken != all.syncToken);

        const CollectionTags after = ReadCollectionTags(*client, book);
        QVERIFY(after.ctag != before.ctag);
        QCOMPARE(after.syncToken, changes.syncToken);
        // Nothing changed since: an empty listing.
        const CardListing none = ListChangedCards(*client, book, changes.syncToken);
        QVERIFY(none.cards.isEmpty() && none.removed.isEmpty());
    }

    void shouldRaiseSyncTokenRefusedForATokenNotItsOwn()
    {
        // Radicale answers 403 with valid-sync-token.
        QVERIFY_THROWS_EXCEPTION(SyncTokenRefused, ListChangedCards(*client, book, "http://radicale.org/ns/sync/0000"));
    }

    void shouldServeTheSyncAsItsCardServer()
    {
        CardDavServer cards(*client, book);
        const QByteArray token = cards.tags().syncToken;
        const QString href = cards.hrefFor(QStringLiteral("server-1"));
        QCOMPARE(href, CardHref(book) + QStringLiteral("server-1.vcf"));
        const PutResult put = cards.put(href, Card("server-1", "钱七"), {});
        QCOMPARE(put.outcome, PutOutcome::Done);
        const CardListing changed = cards.listChanged(token);
        QCOMPARE(Hrefs(changed.cards), QStringList{href});
        QCOMPARE(changed.cards.first().etag, put.etag);
        QCOMPARE(cards.fetch({href}).value(0).text, GetCard(*client, CardUrl(book, href)).text);
        QCOMPARE(changed.cards.first().text, cards.fetch({href}).value(0).text);  // brought by the listing
        QCOMPARE(cards.remove(href, put.etag), DeleteOutcome::Done);
        QCOMPARE(cards.listChanged(changed.syncToken).removed, QStringList{href});
        QVERIFY_THROWS_EXCEPTION(SyncTokenRefused, cards.listChanged("not-a-token"));
    }

    void shouldNameNewCardsAfterTheirUidWhereItMakesAFileName_data()
    {
        QTest::addColumn<QString>("uid");
        QTest::addColumn<bool>("asItIs");
        QTest::newRow("a UUID") << "2b1c9f0e-3d4a-4c8b-9e1f-0a2b3c4d5e6f" << true;
        QTest::newRow("an address") << "li.si@example.com" << true;
        QTest::newRow("a path") << "../../etc/passwd" << false;
        QTest::newRow("a hidden file") << ".Radicale.props" << false;
        QTest::newRow("Chinese") << "张三" << false;
        QTest::newRow("a query") << "a?b=c" << false;
    }

    void shouldNameNewCardsAfterTheirUidWhereItMakesAFileName()
    {
        QFETCH(QString, uid);
        QFETCH(bool, asItIs);
        DavAccount account;
        account.url = QUrl(QStringLiteral("https://dav.example.com/li/book/"));
        DavClient unused(account);
        const CardDavServer cards(unused, QUrl(QStringLiteral("https://dav.example.com/li/book/")));
        const QString href = cards.hrefFor(uid);
        QCOMPARE(href, cards.hrefFor(uid));  // a retry finds its own card
        QVERIFY2(href.startsWith(QStringLiteral("/li/book/")) && href.endsWith(QStringLiteral(".vcf")),
                 qPrintable(href));
        QCOMPARE(href == QStringLiteral("/li/book/") + uid + QStringLiteral(".vcf"), asItIs);
        QVERIFY(!href.mid(9).contains(u'/'));
    }

    void shouldFetchManyCardsInBatches()
    {
        RadicaleServer many(RadicaleServer::Setup::Open);
        QVERIFY2(many.started(), qPrintable(many.failure()));
        QList<QByteArray> seeded;
        QStringList names;
        for (int i = 0; i < 250; ++i) {
            // Names a server must encode in its hrefs: a space and Chinese.
            names << QStringLiteral("卡 %1").arg(i, 3, 10, QLatin1Char('0'));
            seeded << Card(names.last(), names.last());
        }
        const QUrl manyBook = many.seedAddressBook(QStringLiteral("many"), seeded);
        QVERIFY(manyBook.isValid());
        DavClient manyClient(many.account());
        QStringList hrefs;
        for (const QString& name : names)
            hrefs << CardHref(manyBook) + name + QStringLiteral(".vcf");
        QCOMPARE(Hrefs(ListAllCards(manyClient, manyBook).cards), hrefs);

        QList<int> told;
        const QList<FetchedCard> cards = FetchCards(manyClient, manyBook, hrefs, [&](int fetched) { told << fetched; });
        QCOMPARE(told, (QList<int>{100, 200, 250}));
        QCOMPARE(cards.size(), 250);
        QStringList fetched;
        for (const FetchedCard& card : cards)
            fetched << card.href;
        fetched.sort();
        QCOMPARE(fetched, hrefs);
        // The same card and ETag a GET gives, CRLF and all.
        const FetchedCard one = GetCard(manyClient, CardUrl(manyBook, cards.at(7).href));
        QCOMPARE(cards.at(7).text, one.text);
        QCOMPARE(cards.at(7).etag, one.etag);
        QVERIFY(one.text.contains(QStringLiteral("卡 ").toUtf8()));
    }

    void shouldWriteOnlyUnderTheGivenPrecondition()
    {
        const QUrl card = url(QStringLiteral("put.vcf"));
        const PutResult created = PutCard(*client, card, Card("put", "张三"), {});
        QCOMPARE(created.outcome, PutOutcome::Done);
        QVERIFY(!created.etag.isEmpty());
        // A second create must not replace the first.
        QCOMPARE(PutCard(*client, card, Card("put", "李四"), {}).outcome, PutOutcome::PreconditionFailed);
        QVERIFY(GetCard(*client, card).text.contains("张三"));

        const PutResult updated = PutCard(*client, card, Card("put", "王五"), created.etag);
        QCOMPARE(updated.outcome, PutOutcome::Done);
        QCOMPARE(GetCard(*client, card).etag, updated.etag.isEmpty() ? GetCard(*client, card).etag : updated.etag);
        QCOMPARE(PutCard(*client, card, Card("put", "赵六"), created.etag).outcome, PutOutcome::PreconditionFailed);
        QVERIFY(GetCard(*client, card).text.contains("王五"));

        QCOMPARE(DeleteCard(*client, card, created.etag), DeleteOutcome::PreconditionFailed);
        QCOMPARE(DeleteCard(*client, card, GetCard(*client, card).etag), DeleteOutcome::Done);
        QCOMPARE(DeleteCard(*client, card, {}), DeleteOutcome::Gone);
        try {
            GetCard(*client, card);
            QFAIL("a deleted card was read");
        } catch (const DavError& error) {
            QCOMPARE(error.status(), 404);
        }
    }

    void shouldRaiseTheServersRefusalOfACard()
    {
        // Radicale refuses a card without UID (400): an error, not a silent loss.
        try {
            PutCard(*client, url(QStringLiteral("no-uid.vcf")), "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:x\r\nEND:VCARD\r\n",
                    {});
            QFAIL("a refused card counted as written");
        } catch (const DavError& error) {
            QCOMPARE(error.kind(), DavError::Kind::Http);
            QCOMPARE(error.status(), 400);
            QVERIFY2(error.Message.contains(QStringLiteral("PUT")), qPrintable(error.Message));
        }
    }

    void shouldShareTheBookWithThePhone()
    {
        const QByteArray card = Card("phone", "手机上的人");
        const PhoneResult put = server->phone(book, {"put", "phone.vcf", "-", "--if-none-match"}, card);
        QCOMPARE(put.exitCode, 0);
        const QByteArray etag = put.out.trimmed();
        QCOMPARE(GetCard(*client, url(QStringLiteral("phone.vcf"))).etag, etag);
        QCOMPARE(server->phone(book, {"put", "phone.vcf", "-", "--if-none-match"}, card).exitCode, 3);
        QVERIFY(server->phone(book, {"list"}).out.contains(href(QStringLiteral("phone.vcf")).toUtf8() + '\t' + etag));

        const PhoneResult got = server->phone(book, {"get", "phone.vcf"});
        QCOMPARE(got.exitCode, 0);
        QCOMPARE(got.out, GetCard(*client, url(QStringLiteral("phone.vcf"))).text);

        const QJsonArray dump = QJsonDocument::fromJson(server->phone(book, {"dump"}).out).array();
        const auto phoneCard = std::find_if(dump.begin(), dump.end(), [&](const QJsonValue& v) {
            return v.toObject().value("href").toString() == href(QStringLiteral("phone.vcf"));
        });
        QVERIFY(phoneCard != dump.end());
        QVERIFY(phoneCard->toObject().value("text").toString().contains(QStringLiteral("手机上的人")));

        QCOMPARE(server->phone(book, {"delete", "phone.vcf", "--if-match", "\"stale\""}).exitCode, 3);
        QCOMPARE(server->phone(book, {"delete", "phone.vcf", "--if-match", QString::fromUtf8(etag)}).exitCode, 0);
        QCOMPARE(server->phone(book, {"get", "phone.vcf"}).exitCode, 4);
    }
};

QTEST_GUILESS_MAIN(CardDavTest)
#include "test_carddav.moc"
