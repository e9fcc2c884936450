#pragma once
// The CardDAV conversation (RFC 6352 over WebDAV, RFC 6578 for changes): finding
// the address book, its tags, listing and fetching cards, writing and deleting
// one card under an ETag precondition. Each function is one or a few requests
// through the client and raises DavError (or DavCancelled) when the server does
// not answer as the protocol says; what a status means for the sync is left to
// the caller where the result says so (PutOutcome, DeleteOutcome).
//
// A card's href is the path of its address, percent-decoded, so the same card
// compares equal however a server chose to encode it; CardUrl turns it back.
// The listings and outcomes are the sync's own words (sync/CardServer.h);
// CardDavServer puts these functions behind that interface.

#include "sync/CardServer.h"
#include "sync/DavClient.h"

#include <QStringList>
#include <functional>

struct AddressBookFound {
    QUrl url;
    QString name;  // its displayname, else the last part of its path
};

// The address books a URL leads to: the URL itself when it is one; else those
// of the home sets found through it (as a principal, through its
// current-user-principal, through /.well-known/carddav) and of the URL itself
// taken as a home set. Empty when none was found.
QList<AddressBookFound> DiscoverAddressBooks(DavClient& client, const QUrl& start);

// One PROPFIND of depth 0.
CollectionTags ReadCollectionTags(DavClient& client, const QUrl& book);

// Every card of the book with its ETag, by PROPFIND depth 1; members that are
// collections or not vCards are left out.
CardListing ListAllCards(DavClient& client, const QUrl& book);

// The cards changed and removed since the token, by the sync-collection report
// (sync-level 1); an empty token lists every card. A server that gives the
// changes in parts (507) is asked again from each part's token until it gave
// them all. Raises SyncTokenRefused when the server no longer takes the token
// (403 with valid-sync-token, 400, 409, 410): list everything again. With
// withText the cards' texts are asked too (most servers give them in the same
// answer, which spares a first sync a hundred requests); a card whose text did
// not come has none.
CardListing ListChangedCards(DavClient& client, const QUrl& book, const QByteArray& token, bool withText = false);

constexpr int kMultigetBatch = 100;

// The cards of those hrefs by addressbook-multiget, kMultigetBatch at a time;
// progress (when given) is told the number fetched after each batch. A card
// removed meanwhile is left out.
QList<FetchedCard> FetchCards(DavClient& client, const QUrl& book, const QStringList& hrefs,
                              const std::function<void(int fetched)>& progress = {});

// One card by GET; raises DavError (Http, with its status: 404 when it is gone).
FetchedCard GetCard(DavClient& client, const QUrl& card);

// Writes the card: with an empty ifMatch only where none is (If-None-Match: *),
// else only over that version (If-Match, sent exactly as received).
// PreconditionFailed (412): a card is there already, or it changed meanwhile.
PutResult PutCard(DavClient& client, const QUrl& card, const QByteArray& text, const QByteArray& ifMatch);

// Deletes the card, only that version when ifMatch is given. Gone: it was not there (404).
DeleteOutcome DeleteCard(DavClient& client, const QUrl& card, const QByteArray& ifMatch);

// A card's href as listed (its path, decoded), and the address of an href in a book.
QString CardHref(const QUrl& card);
QUrl CardUrl(const QUrl& book, const QString& href);
