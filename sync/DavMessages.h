#pragma once
// What the sync's network half says when a request fails, in one place. Every
// address is shown without user name or password; no message takes the password.

#include <QByteArrayView>
#include <QList>
#include <QSslError>
#include <QString>
#include <QUrl>

namespace DavMessages {

QString ShownUrl(const QUrl& url);

QString UnreadableCaFile(const QString& path);
QString ConnectionRefused(const QUrl& url);
QString HostNotFound(const QUrl& url);
QString CertificateRefused(const QUrl& url, const QList<QSslError>& errors);
QString ConnectionFailed(const QUrl& url, const QString& detail);
QString NoAnswer(const QUrl& url, int waitedMs);

QString NotHttp(const QUrl& url);
QString PlainHttp(const QUrl& url);
QString RedirectToHttp(const QUrl& from, const QUrl& to);
QString TooManyRedirects(const QUrl& url, int most);

QString LoginNeeded(const QUrl& url);
QString LoginRefused(const QUrl& url);
QString UnexpectedStatus(QByteArrayView method, const QUrl& url, int status);
QString UnreadableAnswer(const QUrl& url, const QString& detail);
QString EndlessListing(const QUrl& book);

}  // namespace DavMessages
