#pragma once
// A WebDAV multistatus answer (RFC 4918), read namespace-aware: each response's
// href resolved against the address that answered, its own status (a
// sync-collection's 404 for a removed card) and the properties the server found,
// named in Clark notation ("{DAV:}getetag"), so a prefix never matters.

#include "sync/DavClient.h"

#include <QHash>
#include <QStringList>

namespace DavName {
inline const QString Etag = QStringLiteral("{DAV:}getetag");
inline const QString ContentType = QStringLiteral("{DAV:}getcontenttype");
inline const QString DisplayName = QStringLiteral("{DAV:}displayname");
inline const QString ResourceType = QStringLiteral("{DAV:}resourcetype");
inline const QString Collection = QStringLiteral("{DAV:}collection");
inline const QString SyncToken = QStringLiteral("{DAV:}sync-token");
inline const QString SupportedReports = QStringLiteral("{DAV:}supported-report-set");
inline const QString SyncCollection = QStringLiteral("{DAV:}sync-collection");
inline const QString ValidSyncToken = QStringLiteral("{DAV:}valid-sync-token");
inline const QString Principal = QStringLiteral("{DAV:}current-user-principal");
inline const QString AddressBook = QStringLiteral("{urn:ietf:params:xml:ns:carddav}addressbook");
inline const QString HomeSet = QStringLiteral("{urn:ietf:params:xml:ns:carddav}addressbook-home-set");
inline const QString AddressData = QStringLiteral("{urn:ietf:params:xml:ns:carddav}address-data");
inline const QString Ctag = QStringLiteral("{http://calendarserver.org/ns/}getctag");
}  // namespace DavName

struct DavProperty {
    QString text;        // every text inside, joined, trimmed
    QList<QUrl> hrefs;   // the DAV:href elements inside, resolved
    QStringList inside;  // the Clark names of every element inside
    bool holds(const QString& name) const { return inside.contains(name); }
};

struct DavResponse {
    QUrl href;
    int status = 0;                     // the response's own status; 0 when it reports properties
    QHash<QString, DavProperty> found;  // the properties of its 2xx propstats
    bool has(const QString& name) const { return found.contains(name); }
    QString text(const QString& name) const { return found.value(name).text; }
};

struct MultiStatus {
    QList<DavResponse> responses;
    QByteArray syncToken;  // the multistatus' own, after a sync-collection report
};

// Raises DavError (Protocol) when the body is not a multistatus.
MultiStatus ReadMultiStatus(const DavReply& reply);

// Whether an XML body (a precondition's DAV:error) holds that element anywhere.
bool BodyHoldsElement(const QByteArray& body, const QString& clarkName);

// Whether two addresses name one resource: compared percent-decoded, a final slash aside.
bool SameResource(const QUrl& a, const QUrl& b);
