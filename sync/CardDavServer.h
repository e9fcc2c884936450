#pragma once
// The address book on a CardDAV server behind the sync's CardServer: each call
// one or a few requests through the client (sync/CardDav.h), hrefs as the
// listings give them.

#include "sync/CardDav.h"
#include "sync/CardServer.h"

class CardDavServer : public CardServer {
public:
    // The client outlives this object.
    CardDavServer(DavClient& client, QUrl book);

    CollectionTags tags() override;
    CardListing listAll() override;
    CardListing listChanged(const QByteArray& token) override;
    QList<FetchedCard> fetch(const QStringList& hrefs) override;
    PutResult put(const QString& href, const QByteArray& text, const QByteArray& ifMatch) override;
    DeleteOutcome remove(const QString& href, const QByteArray& ifMatch) override;
    // The UID itself where it makes a plain file name, else a UUID made from it:
    // the same UID always gets the same href.
    QString hrefFor(const QString& uid) const override;

    // Told after each batch of a fetch: the number fetched so far.
    std::function<void(int fetched)> fetchProgress;

private:
    CardListing listChangedPlain(const QByteArray& token);

    DavClient& client_;
    QUrl book_;
    bool listsWithText_ = true;  // until the server refuses a listing that asks the cards' texts
};
