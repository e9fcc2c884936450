// Multistatus answers as different servers word them: any prefix for a
// namespace, hrefs encoded or not, relative or whole, properties a server
// could not give, and answers that are no multistatus at all.

#include "sync/CardDav.h"
#include "sync/MultiStatus.h"

#include <QTest>

namespace {

DavReply Answer(const QByteArray& body)
{
    DavReply reply;
    reply.status = 207;
    reply.body = body;
    reply.url = QUrl(QStringLiteral("https://dav.example.com/li/book/"));
    return reply;
}

}  // namespace

class MultiStatusTest : public QObject {
    Q_OBJECT

private slots:
    void shouldReadPropertiesWhateverThePrefix_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("default namespace") << QByteArray(
            R"(<multistatus xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav" xmlns:CS="http://calendarserver.org/ns/">)"
            R"(<response><href>/li/book/</href><propstat><prop><resourcetype><collection/><C:addressbook/></resourcetype>)"
            R"(<CS:getctag>"c1"</CS:getctag><displayname>联系人</displayname></prop>)"
            R"(<status>HTTP/1.1 200 OK</status></propstat></response></multistatus>)");
        QTest::newRow("prefixes, one not used before") << QByteArray(
            R"(<d:multistatus xmlns:d="DAV:"><d:response><d:href>https://dav.example.com/li/book</d:href>)"
            R"(<d:propstat><d:prop><d:resourcetype><d:collection/><card:addressbook xmlns:card="urn:ietf:params:xml:ns:carddav"/>)"
            R"(</d:resourcetype><x:getctag xmlns:x="http://calendarserver.org/ns/">"c1"</x:getctag>)"
            R"(<d:displayname>联系人</d:displayname></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat>)"
            R"(<d:propstat><d:prop><d:getetag/></d:prop><d:status>HTTP/1.1 404 Not Found</d:status></d:propstat>)"
            R"(</d:response></d:multistatus>)");
    }

    void shouldReadPropertiesWhateverThePrefix()
    {
        QFETCH(QByteArray, body);
        const MultiStatus answer = ReadMultiStatus(Answer(body));
        QCOMPARE(answer.responses.size(), 1);
        const DavResponse& book = answer.responses.first();
        QVERIFY(SameResource(book.href, QUrl(QStringLiteral("https://dav.example.com:443/li/book/"))));
        QVERIFY(book.found.value(DavName::ResourceType).holds(DavName::AddressBook));
        QCOMPARE(book.text(DavName::Ctag), QStringLiteral("\"c1\""));
        QCOMPARE(book.text(DavName::DisplayName), QStringLiteral("联系人"));
        QVERIFY(!book.has(DavName::Etag));  // given only in a 404 propstat
    }

    void shouldReadHrefsEncodedOrNotAsOneCard()
    {
        const MultiStatus answer = ReadMultiStatus(Answer(
            R"(<multistatus xmlns="DAV:"><sync-token>tok-2</sync-token>)"
            R"(<response><href>/li/book/%E5%8D%A1%201.vcf</href><propstat><prop><getetag>"e1"</getetag></prop>)"
            R"(<status>HTTP/1.1 200 OK</status></propstat></response>)"
            R"(<response><href>卡 2.vcf</href><status>HTTP/1.1 404 Not Found</status></response>)"
            R"(<response><href>https://dav.example.com/li/book/%e5%8d%a1%202.vcf</href><status>HTTP/1.1 404 Not Found</status></response>)"
            R"(</multistatus>)"));
        QCOMPARE(answer.syncToken, QByteArray("tok-2"));
        QCOMPARE(answer.responses.size(), 3);
        QCOMPARE(CardHref(answer.responses.at(0).href), QStringLiteral("/li/book/卡 1.vcf"));
        QCOMPARE(answer.responses.at(0).text(DavName::Etag), QStringLiteral("\"e1\""));
        QCOMPARE(CardHref(answer.responses.at(1).href), QStringLiteral("/li/book/卡 2.vcf"));
        QCOMPARE(answer.responses.at(1).status, 404);
        QVERIFY(SameResource(answer.responses.at(1).href, answer.responses.at(2).href));
        // Back to an address the server reads as the same card.
        QCOMPARE(CardUrl(QUrl(QStringLiteral("https://dav.example.com/li/book/")), QStringLiteral("/li/book/卡 1.vcf"))
                     .toEncoded(),
                 QByteArray("https://dav.example.com/li/book/%E5%8D%A1%201.vcf"));
    }

    void shouldRaiseProtocolForAnAnswerThatIsNoMultistatus_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("an HTML page") << QByteArray("<html><body>Log in</body></html>");
        QTest::newRow("cut short") << QByteArray(R"(<multistatus xmlns="DAV:"><response><href>/a</href>)");
        QTest::newRow("empty") << QByteArray();
    }

    void shouldRaiseProtocolForAnAnswerThatIsNoMultistatus()
    {
        QFETCH(QByteArray, body);
        try {
            ReadMultiStatus(Answer(body));
            QFAIL("read as a multistatus");
        } catch (const DavError& error) {
            QCOMPARE(error.kind(), DavError::Kind::Protocol);
            QVERIFY2(error.Message.startsWith(QStringLiteral("读不懂服务器的回答（https://dav.example.com/li/book/）")),
                     qPrintable(error.Message));
        }
    }
};

QTEST_GUILESS_MAIN(MultiStatusTest)
#include "test_multistatus.moc"
