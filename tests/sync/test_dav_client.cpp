// The client's guards: redirects by hand, the password only where it belongs,
// a bounded wait, plain http kept to this machine, the server's own
// certificate. A canned server plays the odd answers; Radicale the real logins.

#include "sync/CardDav.h"
#include "sync/CardDavServer.h"
#include "tests/support/RadicaleServer.h"
#include "tests/support/TestFolder.h"

#include <QElapsedTimer>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

struct SeenRequest {
    QByteArray method;
    QByteArray path;
    QByteArray head;  // the request line and headers
    QByteArray body;
    bool has(QByteArrayView header) const { return head.toLower().contains(header.toByteArray().toLower() + ':'); }
};

// A server that answers each request with the next canned response, or,
// with none left, keeps silent; it remembers what it was asked. Given a TLS
// configuration it speaks https.
class CannedServer : public QObject {
public:
    explicit CannedServer(QList<QByteArray> answers, const QSslConfiguration& tls = {})
        : answers(std::move(answers)), tls_(!tls.isNull())
    {
        if (tls_) {
            auto* server = new QSslServer(this);
            server->setSslConfiguration(tls);
            listener_ = server;
        } else {
            listener_ = new QTcpServer(this);
        }
        listener_->listen(QHostAddress::LocalHost, 0);
        // After the handshake, for https.
        connect(listener_, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* socket = listener_->nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                read(socket);
            }
        });
    }
    QUrl url(const QString& path = QStringLiteral("/")) const
    {
        return QUrl(QStringLiteral("%1://127.0.0.1:%2%3")
                        .arg(tls_ ? QStringLiteral("https") : QStringLiteral("http"))
                        .arg(listener_->serverPort())
                        .arg(path));
    }
    QList<SeenRequest> seen;
    QList<QByteArray> answers;

private:
    void read(QTcpSocket* socket)
    {
        QByteArray& buffer = buffers_[socket];
        buffer += socket->readAll();
        const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        SeenRequest request;
        request.head = buffer.left(headEnd);
        const QList<QByteArray> requestLine = request.head.left(request.head.indexOf("\r\n")).split(' ');
        request.method = requestLine.value(0);
        request.path = requestLine.value(1);
        qsizetype length = 0;
        for (const QByteArray& line : request.head.split('\n'))
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
        if (buffer.size() < headEnd + 4 + length)
            return;
        request.body = buffer.mid(headEnd + 4, length);
        buffer.clear();
        seen << request;
        if (answers.isEmpty())
            return;
        socket->write(answers.takeFirst());
        socket->disconnectFromHost();
    }

    bool tls_;
    QTcpServer* listener_;
    QHash<QTcpSocket*, QByteArray> buffers_;
};

QByteArray Redirect(int status, const QByteArray& location)
{
    return "HTTP/1.1 " + QByteArray::number(status) + " Moved\r\nLocation: " + location
           + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

QByteArray MultiStatusAnswer(const QByteArray& body = R"(<?xml version="1.0"?><multistatus xmlns="DAV:"/>)")
{
    return "HTTP/1.1 207 Multi-Status\r\nContent-Type: application/xml\r\nContent-Length: "
           + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

DavAccount Account(const QUrl& url, int timeoutMs = 5000)
{
    DavAccount account;
    account.url = url;
    account.user = QStringLiteral("li");
    account.password = QStringLiteral("secret-pw");
    account.timeoutMs = timeoutMs;
    return account;
}

int ClosedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Runs the call and returns the DavError it raised; fails the test when it raised none.
template <class Call>
DavError Raised(Call call)
{
    try {
        call();
    } catch (const DavError& error) {
        return error;
    }
    return DavError(DavError::Kind::Http, QStringLiteral("(no error raised)"), -1);
}

}  // namespace

class DavClientTest : public QObject {
    Q_OBJECT

private slots:
    void shouldFollowRedirectsByHandWithTheSameMethodAndBody_data()
    {
        QTest::addColumn<int>("status");
        for (int status : {301, 302, 307, 308})
            QTest::newRow(qPrintable(QString::number(status))) << status;
    }

    void shouldFollowRedirectsByHandWithTheSameMethodAndBody()
    {
        QFETCH(int, status);
        CannedServer server({Redirect(status, "/dav/"), MultiStatusAnswer()});
        DavClient client(Account(server.url()));
        const DavReply reply = client.send("PROPFIND", server.url(QStringLiteral("/.well-known/carddav")),
                                           "<propfind/>", {{"Depth", "0"}});
        QCOMPARE(reply.status, 207);
        QCOMPARE(reply.url, server.url(QStringLiteral("/dav/")));
        QCOMPARE(server.seen.size(), 2);
        QCOMPARE(server.seen.at(1).method, QByteArray("PROPFIND"));
        QCOMPARE(server.seen.at(1).path, QByteArray("/dav/"));
        QCOMPARE(server.seen.at(1).body, QByteArray("<propfind/>"));
        QVERIFY(server.seen.at(1).head.contains("Depth: 0"));
        QVERIFY(server.seen.at(1).head.contains("Content-Type: application/xml; charset=utf-8"));
    }

    void shouldGiveUpAfterFiveRedirects()
    {
        CannedServer server(QList<QByteArray>(6, Redirect(302, "/again/")));
        DavClient client(Account(server.url()));
        const DavError error = Raised([&] { client.send("GET", server.url()); });
        QCOMPARE(error.kind(), DavError::Kind::Protocol);
        QCOMPARE(server.seen.size(), 6);
    }

    void shouldSendThePasswordOnlyToTheServerNamedAndWhereItLeads()
    {
        CannedServer server({MultiStatusAnswer(), MultiStatusAnswer()});
        // The same machine under another name: not the host the password was given for.
        QUrl elsewhere = server.url(QStringLiteral("/a/"));
        elsewhere.setHost(QStringLiteral("localhost"));
        DavClient client(Account(server.url()));
        client.send("GET", elsewhere);
        QVERIFY(!server.seen.at(0).has("Authorization"));
        client.send("GET", server.url(QStringLiteral("/a/")));
        QVERIFY(server.seen.at(1).head.contains("Authorization: Basic " + QByteArray("li:secret-pw").toBase64()));
        // Sent on by the server named, the password follows.
        server.answers << Redirect(301, elsewhere.toEncoded()) << MultiStatusAnswer();
        client.send("GET", server.url(QStringLiteral("/c/")));
        QCOMPARE(server.seen.size(), 4);
        QVERIFY(server.seen.at(3).has("Authorization"));
    }

    void shouldAskForAListingGivenInPartsToItsEnd()
    {
        // RFC 6578: a 507 for the collection itself says more changes follow from the new token.
        const QByteArray part1 =
            R"(<multistatus xmlns="DAV:"><sync-token>t1</sync-token>)"
            R"(<response><href>/b/</href><status>HTTP/1.1 507 Insufficient Storage</status></response>)"
            R"(<response><href>/b/a.vcf</href><propstat><prop><getetag>"a1"</getetag></prop>)"
            R"(<status>HTTP/1.1 200 OK</status></propstat></response>)"
            R"(<response><href>/b/c.vcf</href><status>HTTP/1.1 404 Not Found</status></response>)"
            R"(</multistatus>)";
        const QByteArray part2 = R"(<multistatus xmlns="DAV:"><sync-token>t2</sync-token>)"
                                 R"(<response><href>/b/a.vcf</href><status>HTTP/1.1 404 Not Found</status></response>)"
                                 R"(<response><href>/b/c.vcf</href><propstat><prop><getetag>"c2"</getetag></prop>)"
                                 R"(<status>HTTP/1.1 200 OK</status></propstat></response>)"
                                 R"(</multistatus>)";
        CannedServer server({MultiStatusAnswer(part1), MultiStatusAnswer(part2)});
        DavClient client(Account(server.url()));
        const CardListing listing = ListChangedCards(client, server.url(QStringLiteral("/b/")), "t0");
        QCOMPARE(server.seen.size(), 2);
        QVERIFY(server.seen.at(1).body.contains("<d:sync-token>t1</d:sync-token>"));
        QCOMPARE(listing.cards.size(), 1);
        QCOMPARE(listing.cards.first().href, QStringLiteral("/b/c.vcf"));
        QCOMPARE(listing.cards.first().etag, QByteArray("\"c2\""));
        QCOMPARE(listing.removed, QStringList{QStringLiteral("/b/a.vcf")});
        QCOMPARE(listing.syncToken, QByteArray("t2"));
    }

    void shouldListAgainWithoutTextsWhereAServerRefusesThem()
    {
        const QByteArray listed = R"(<multistatus xmlns="DAV:"><sync-token>t1</sync-token>)"
                                  R"(<response><href>/b/a.vcf</href><propstat><prop><getetag>"a1"</getetag></prop>)"
                                  R"(<status>HTTP/1.1 200 OK</status></propstat></response></multistatus>)";
        CannedServer server({"HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\nConnection: close\r\n\r\n",
                             MultiStatusAnswer(listed), MultiStatusAnswer(listed)});
        DavClient client(Account(server.url()));
        CardDavServer cards(client, server.url(QStringLiteral("/b/")));
        for (int i = 0; i < 2; ++i) {
            const CardListing listing = cards.listChanged("t0");
            QCOMPARE(listing.cards.size(), 1);
            QVERIFY(listing.cards.first().text.isEmpty());  // to be fetched
        }
        QCOMPARE(server.seen.size(), 3);
        QVERIFY(server.seen.at(0).body.contains("address-data"));
        QVERIFY(!server.seen.at(1).body.contains("address-data"));
        QVERIFY(!server.seen.at(2).body.contains("address-data"));  // not asked again
    }

    void shouldGiveUpOnASilentServerAfterTheBoundedWait()
    {
        CannedServer silent({});
        DavClient client(Account(silent.url(), 300));
        QElapsedTimer waited;
        waited.start();
        const DavError error = Raised([&] { client.send("PROPFIND", silent.url()); });
        QCOMPARE(error.kind(), DavError::Kind::Unreachable);
        QVERIFY2(error.Message.startsWith(QStringLiteral("服务器没有应答（等了 0.3 秒）：http://127.0.0.1:")),
                 qPrintable(error.Message));
        // Qt's timers may fire a few per cent early.
        QVERIFY2(waited.elapsed() >= 250 && waited.elapsed() < 5000, qPrintable(QString::number(waited.elapsed())));
    }

    void shouldStopWhenCancelled()
    {
        CannedServer silent({});
        DavClient client(Account(silent.url()));
        // Not at first: the request is under way when the answer changes.
        int asked = 0;
        client.cancelled = [&] { return ++asked > 2; };
        QVERIFY_THROWS_EXCEPTION(DavCancelled, client.send("GET", silent.url()));
        QCOMPARE(silent.seen.size(), 1);
    }

    void shouldSayAClosedPortIsUnreachable()
    {
        const QUrl closed(QStringLiteral("http://127.0.0.1:%1/").arg(ClosedPort()));
        DavClient client(Account(closed));
        const DavError error = Raised([&] { client.send("PROPFIND", closed); });
        QCOMPARE(error.kind(), DavError::Kind::Unreachable);
        QVERIFY2(error.Message.contains(QStringLiteral("连接被拒绝")), qPrintable(error.Message));
    }

    void shouldKeepPlainHttpToThisMachine_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("allowHttp");
        QTest::addColumn<DavError::Kind>("kind");
        // 192.0.2.1 is a documentation address: nothing answers there.
        QTest::newRow("another machine") << "http://192.0.2.1/dav/" << false << DavError::Kind::Insecure;
        QTest::newRow("another machine, allowed") << "http://192.0.2.1/dav/" << true << DavError::Kind::Unreachable;
        QTest::newRow("not http at all") << "ftp://127.0.0.1/dav/" << true << DavError::Kind::Insecure;
    }

    void shouldKeepPlainHttpToThisMachine()
    {
        QFETCH(QString, url);
        QFETCH(bool, allowHttp);
        QFETCH(DavError::Kind, kind);
        DavAccount account = Account(QUrl(url), 300);
        account.allowHttp = allowHttp;
        DavClient client(account);
        const DavError error = Raised([&] { client.send("PROPFIND", QUrl(url)); });
        QCOMPARE(error.kind(), kind);
        QVERIFY(!error.Message.contains(account.password));
    }

    void shouldSayAWrongPasswordAndChangeNothing()
    {
        if (!RadicaleServer::missing().isEmpty())
            QSKIP(qPrintable(RadicaleServer::missing()));
        RadicaleServer server(RadicaleServer::Setup::Password);
        QVERIFY2(server.started(), qPrintable(server.failure()));
        const QUrl book = server.createAddressBook(QStringLiteral("contacts"));
        QVERIFY(book.isValid());

        DavAccount wrong = server.account();
        wrong.password = QStringLiteral("wrong-pw-42");
        DavClient client(wrong);
        const QUrl card = book.resolved(QUrl(QStringLiteral("x.vcf")));
        const DavError error =
            Raised([&] { PutCard(client, card, "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:x\r\nFN:x\r\nEND:VCARD\r\n", {}); });
        QCOMPARE(error.kind(), DavError::Kind::Unauthorized);
        QVERIFY2(error.Message.startsWith(QStringLiteral("服务器拒绝了用户名或密码")), qPrintable(error.Message));
        QVERIFY(!error.Message.contains(wrong.password));
        QCOMPARE(Raised([&] { DiscoverAddressBooks(client, server.root()); }).kind(), DavError::Kind::Unauthorized);

        DavAccount nobody = server.account();
        nobody.user.clear();
        DavClient anonymous(nobody);
        const DavError asked = Raised([&] { ListAllCards(anonymous, book); });
        QVERIFY2(asked.Message.startsWith(QStringLiteral("服务器要求用户名和密码")), qPrintable(asked.Message));

        DavClient right(server.account());
        QVERIFY(ListAllCards(right, book).cards.isEmpty());
    }

    void shouldNeverFollowARedirectFromHttpsToHttp()
    {
        QTemporaryDir folder;
        const QString cert = folder.filePath(QStringLiteral("cert.pem"));
        const QString key = folder.filePath(QStringLiteral("key.pem"));
        const QString failure = RadicaleServer::MakeCertificate(cert, key);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificate(QSslCertificate::fromPath(cert).value(0));
        tls.setPrivateKey(QSslKey(TestFolder::readAll(key), QSsl::Ec));
        CannedServer plain({MultiStatusAnswer()});
        CannedServer secure({Redirect(301, plain.url(QStringLiteral("/dav/")).toEncoded())}, tls);

        DavAccount account = Account(secure.url());
        account.caFile = cert;
        account.allowHttp = true;  // even so: the person asked for https
        DavClient client(account);
        const DavError error = Raised([&] { client.send("PROPFIND", secure.url(QStringLiteral("/dav/"))); });
        QCOMPARE(error.kind(), DavError::Kind::Insecure);
        QVERIFY2(error.Message.contains(QStringLiteral("不加密的 http://127.0.0.1")), qPrintable(error.Message));
        QCOMPARE(secure.seen.size(), 1);
        QVERIFY(plain.seen.isEmpty());
    }

    void shouldReachAServerWithItsOwnCertificateOnlyWhenGivenIt()
    {
        if (!RadicaleServer::missing().isEmpty())
            QSKIP(qPrintable(RadicaleServer::missing()));
        RadicaleServer server(RadicaleServer::Setup::Https);
        QVERIFY2(server.started(), qPrintable(server.failure()));
        const QUrl book = server.createAddressBook(QStringLiteral("contacts"), QStringLiteral("联系人"));
        QVERIFY(book.isValid());
        DavClient trusting(server.account());
        QCOMPARE(DiscoverAddressBooks(trusting, server.root()).value(0).url, book);

        DavAccount plain = server.account();
        plain.caFile.clear();
        DavClient wary(plain);
        const DavError error = Raised([&] { ReadCollectionTags(wary, book); });
        QCOMPARE(error.kind(), DavError::Kind::Unreachable);
        QVERIFY2(error.Message.contains(QStringLiteral("证书不是公认的机构签发的")), qPrintable(error.Message));

        DavAccount unreadable = server.account();
        unreadable.caFile = server.caFile() + QStringLiteral(".missing");
        QCOMPARE(Raised([&] { DavClient client(unreadable); }).kind(), DavError::Kind::CaFile);
    }
};

QTEST_GUILESS_MAIN(DavClientTest)
#include "test_dav_client.moc"
