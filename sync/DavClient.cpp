#include "sync/DavClient.h"

#include "sync/DavMessages.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>

namespace {

constexpr int kMaxRedirects = 5;
constexpr int kCancelPollMs = 100;
constexpr int kReportPatience = 4;  // times the bounded wait, for a report's first byte

bool IsLoopback(const QUrl& url)
{
    const QString host = url.host();
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    QHostAddress address;
    return address.setAddress(host) && address.isLoopback();
}

bool IsRedirect(int status)
{
    return status == 301 || status == 302 || status == 307 || status == 308;
}

bool NamesHeader(const DavHeaders& headers, QByteArrayView name)
{
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Servers tell XML from a card by the type: RFC 4918 and 6352 both want it said.
QByteArray ContentTypeFor(QByteArrayView method)
{
    return method == "PUT" ? QByteArrayLiteral("text/vcard; charset=utf-8")
                           : QByteArrayLiteral("application/xml; charset=utf-8");
}

QSslConfiguration SslWithCaFile(const QString& caFile)
{
    QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
    if (caFile.isEmpty())
        return ssl;
    QList<QSslCertificate> certificates = QSslCertificate::fromPath(caFile, QSsl::Pem);
    if (certificates.isEmpty())
        certificates = QSslCertificate::fromPath(caFile, QSsl::Der);
    if (certificates.isEmpty())
        throw DavError(DavError::Kind::CaFile, DavMessages::UnreadableCaFile(caFile));
    ssl.addCaCertificates(certificates);
    return ssl;
}

// Why no HTTP answer came, for a reply that ended without a status.
DavError NetworkFailure(const QNetworkReply& reply, const QList<QSslError>& sslErrors)
{
    const QUrl url = reply.url();
    switch (reply.error()) {
    case QNetworkReply::ConnectionRefusedError:
        return DavError(DavError::Kind::Unreachable, DavMessages::ConnectionRefused(url));
    case QNetworkReply::HostNotFoundError: return DavError(DavError::Kind::Unreachable, DavMessages::HostNotFound(url));
    case QNetworkReply::SslHandshakeFailedError:
        return DavError(DavError::Kind::Unreachable, DavMessages::CertificateRefused(url, sslErrors));
    default: return DavError(DavError::Kind::Unreachable, DavMessages::ConnectionFailed(url, reply.errorString()));
    }
}

}  // namespace

QByteArray DavReply::header(QByteArrayView name) const
{
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

DavClient::DavClient(DavAccount account) : account_(std::move(account)), network_(new QNetworkAccessManager)
{
    // A user and password written into the URL would end up in messages.
    if (account_.user.isEmpty())
        account_.user = account_.url.userName();
    if (account_.password.isEmpty())
        account_.password = account_.url.password();
    account_.url.setUserInfo({});
    trustedHosts_.insert(account_.url.host().toLower());
    ssl_ = SslWithCaFile(account_.caFile);
}

DavClient::~DavClient() = default;

void DavClient::checkRoad(const QUrl& url) const
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return;
    if (scheme != QLatin1String("http"))
        throw DavError(DavError::Kind::Insecure, DavMessages::NotHttp(url));
    if (!IsLoopback(url) && !account_.allowHttp)
        throw DavError(DavError::Kind::Insecure, DavMessages::PlainHttp(url));
}

bool DavClient::mayCarryPassword(const QUrl& url) const
{
    return !account_.user.isEmpty() && trustedHosts_.contains(url.host().toLower());
}

DavReply DavClient::send(QByteArrayView method, const QUrl& url, const QByteArray& body, const DavHeaders& headers)
{
    QUrl current = url;
    for (int hop = 0;; ++hop) {
        checkRoad(current);
        DavReply reply = sendOnce(method, current, body, headers);
        if (reply.status == 401)
            throw DavError(
                DavError::Kind::Unauthorized,
                account_.user.isEmpty() ? DavMessages::LoginNeeded(current) : DavMessages::LoginRefused(current), 401);
        const QByteArray location = reply.header("Location");
        if (!IsRedirect(reply.status) || location.isEmpty())
            return reply;
        if (hop == kMaxRedirects)
            throw DavError(DavError::Kind::Protocol, DavMessages::TooManyRedirects(url, kMaxRedirects));
        const QUrl next = current.resolved(QUrl::fromEncoded(location));
        if (current.scheme().toLower() == QLatin1String("https") && next.scheme().toLower() != QLatin1String("https"))
            throw DavError(DavError::Kind::Insecure, DavMessages::RedirectToHttp(current, next));
        // The server the person named may send us on to its own other host.
        if (trustedHosts_.contains(current.host().toLower()))
            trustedHosts_.insert(next.host().toLower());
        current = next;
    }
}

DavReply DavClient::sendOnce(QByteArrayView method, const QUrl& url, const QByteArray& body, const DavHeaders& headers)
{
    // Asked before each request too: most answer before the first poll.
    if (cancelled && cancelled())
        throw DavCancelled();
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setRawHeader("User-Agent", "Tessaly");
    if (!body.isEmpty() && !NamesHeader(headers, "Content-Type"))
        request.setRawHeader("Content-Type", ContentTypeFor(method));
    for (const auto& [name, value] : headers)
        request.setRawHeader(name, value);
    // Sent before any 401, so a wrong password costs one request, not two.
    if (mayCarryPassword(url))
        request.setRawHeader("Authorization",
                             "Basic " + (account_.user + u':' + account_.password).toUtf8().toBase64());
    if (url.scheme().toLower() == QLatin1String("https"))
        request.setSslConfiguration(ssl_);

    std::unique_ptr<QNetworkReply> reply(network_->sendCustomRequest(request, method.toByteArray(), body));
    QEventLoop loop;
    QTimer silence;
    silence.setSingleShot(true);
    QTimer poll;
    bool timedOut = false;
    bool stopped = false;
    QList<QSslError> sslErrors;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply.get(), &QNetworkReply::sslErrors, &loop,
                     [&](const QList<QSslError>& errors) { sslErrors += errors; });
    // The wait is bounded by silence, not by length: a large answer that keeps coming is no dead server.
    const auto stillTalking = [&] { silence.start(account_.timeoutMs); };
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, &loop, stillTalking);
    QObject::connect(reply.get(), &QNetworkReply::uploadProgress, &loop, stillTalking);
    QObject::connect(&silence, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (cancelled && cancelled()) {
            stopped = true;
            loop.quit();
        }
    });
    // A report may be a listing of every card, which a server prepares in
    // silence (Radicale takes a minute over 10,000 cards the first time): it is
    // given longer for its first byte.
    const int firstWaitMs = method == "REPORT" ? account_.timeoutMs * kReportPatience : account_.timeoutMs;
    silence.start(firstWaitMs);
    poll.start(kCancelPollMs);
    if (!reply->isFinished())
        loop.exec();

    if (stopped || timedOut) {
        reply->abort();
        if (stopped)
            throw DavCancelled();
        throw DavError(DavError::Kind::Unreachable, DavMessages::NoAnswer(url, silence.interval()));
    }
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        throw NetworkFailure(*reply, sslErrors);
    DavReply answer;
    answer.status = status.toInt();
    answer.body = reply->readAll();
    answer.headers = reply->rawHeaderPairs();
    answer.etag = reply->rawHeader("ETag");
    answer.url = url;
    return answer;
}

DavError UnexpectedStatus(QByteArrayView method, const DavReply& reply)
{
    const DavError::Kind kind =
        reply.status == 401 || reply.status == 403 ? DavError::Kind::Unauthorized : DavError::Kind::Http;
    return DavError(kind, DavMessages::UnexpectedStatus(method, reply.url, reply.status), reply.status);
}
