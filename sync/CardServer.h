#pragma once
// The address book on the server as the sync sees it: listing, fetching,
// writing and deleting cards by href. The CardDAV client is one; the tests
// put a server in memory in its place to try every case of the decisions.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct CollectionTags {
    QByteArray ctag;
    QByteArray syncToken;
    bool syncCollection = false;  // the server lists changes since a token
};

struct ListedCard {
    QString href;
    QByteArray etag;
    QByteArray text;  // the card itself, where the listing gave it; else it is fetched
};

struct CardListing {
    QList<ListedCard> cards;  // present (all of them, or those changed since the token)
    QStringList removed;      // hrefs gone since the token
    QByteArray syncToken;
};

struct FetchedCard {
    QString href;
    QByteArray etag;
    QByteArray text;
};

enum class PutOutcome { Done, PreconditionFailed };
struct PutResult {
    PutOutcome outcome = PutOutcome::Done;
    QByteArray etag;  // may be empty: the caller reads the card back anyway
};

enum class DeleteOutcome { Done, Gone, PreconditionFailed };

// The token given is no longer valid: list everything again.
class SyncTokenRefused : public std::exception {
public:
    const char* what() const noexcept override { return "sync token refused"; }
};

class CardServer {
public:
    virtual ~CardServer() = default;
    virtual CollectionTags tags() = 0;
    virtual CardListing listAll() = 0;
    // Raises SyncTokenRefused.
    virtual CardListing listChanged(const QByteArray& token) = 0;
    // The cards still there, in any order; batches as the server likes them.
    virtual QList<FetchedCard> fetch(const QStringList& hrefs) = 0;
    // ifMatch empty: only when no card is there yet.
    virtual PutResult put(const QString& href, const QByteArray& text, const QByteArray& ifMatch) = 0;
    virtual DeleteOutcome remove(const QString& href, const QByteArray& ifMatch) = 0;
    // The href a new card with that UID gets in the address book.
    virtual QString hrefFor(const QString& uid) const = 0;
};
