#pragma once
// One HTTP conversation with a CardDAV server at a time, synchronous: each
// request runs a local event loop around QNetworkAccessManager, so the same
// client serves the command and a worker thread of the tools window. A client
// belongs to the thread that made it.
//
// What it guards, once for every caller: redirects followed by hand (the
// default policy re-sends a PROPFIND as a GET), never from https to http;
// the password only over https, to a loopback address or when plain http was
// allowed; a bounded wait; the server's own certificate (caFile). The password
// never enters a message.

#include "platform/Errors.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QSet>
#include <QSslConfiguration>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

class QNetworkAccessManager;

struct DavAccount {
    QUrl url;  // where the person pointed us; its host is trusted with the password
    QString user;
    QString password;
    QString caFile;          // a PEM certificate the server's must be or be signed by
    bool allowHttp = false;  // plain http to a host that is not this machine
    // The longest silence before giving up on a request (a report waits longer for its first byte).
    int timeoutMs = 30000;
};

using DavHeaders = QList<QPair<QByteArray, QByteArray>>;

struct DavReply {
    int status = 0;
    QByteArray body;
    QByteArray etag;  // the ETag header exactly as received (quotes and W/ kept)
    QUrl url;         // after redirects
    DavHeaders headers;
    QByteArray header(QByteArrayView name) const;  // the first of that name, case-insensitive; empty when none
    bool ok() const { return status >= 200 && status < 300; }
};

class DavError : public Exception {
public:
    enum class Kind {
        Unreachable,   // no answer within the bounded wait, refused connection, unknown host, TLS failure
        Unauthorized,  // 401, or 403 where the server refused the user
        Insecure,      // plain http to another machine without allowHttp, a redirect from https to http
        Http,          // any other status the caller did not expect
        Protocol,      // an answer that cannot be read (XML), too many redirects
        CaFile,        // the certificate file given cannot be read
    };
    DavError(Kind kind, QString message, int status = 0) : Exception(std::move(message)), kind_(kind), status_(status)
    {
    }
    Kind kind() const { return kind_; }
    int status() const { return status_; }  // the HTTP status for Http and Unauthorized, else 0

private:
    Kind kind_;
    int status_;
};

// The cancelled() hook said stop; the request under way was aborted.
class DavCancelled : public Exception {
public:
    DavCancelled() : Exception(QStringLiteral("同步已取消")) {}
};

class DavClient {
public:
    // Raises DavError (CaFile) when the certificate file cannot be read.
    explicit DavClient(DavAccount account);
    ~DavClient();
    DavClient(const DavClient&) = delete;
    DavClient& operator=(const DavClient&) = delete;

    // Sends the request and returns the server's answer whatever its status
    // (callers decide what a status means), after following redirects. Raises
    // DavError for no answer, an insecure road, a 401, and DavCancelled.
    // Content-Type is set for a body unless headers name one.
    DavReply send(QByteArrayView method, const QUrl& url, const QByteArray& body = {}, const DavHeaders& headers = {});

    const DavAccount& account() const { return account_; }

    // Asked before each request and polled while one waits (about ten times a
    // second); true aborts it with DavCancelled.
    std::function<bool()> cancelled;

private:
    DavReply sendOnce(QByteArrayView method, const QUrl& url, const QByteArray& body, const DavHeaders& headers);
    void checkRoad(const QUrl& url) const;  // raises Insecure
    bool mayCarryPassword(const QUrl& url) const;

    DavAccount account_;
    std::unique_ptr<QNetworkAccessManager> network_;
    QSslConfiguration ssl_;
    QSet<QString> trustedHosts_;  // the account's host and those its redirects led to
};

// An answer the caller did not expect, as the error to raise: 401 and 403 as
// Unauthorized, any other as Http, with what was asked of which address.
DavError UnexpectedStatus(QByteArrayView method, const DavReply& reply);
