#include "sync/CardDavServer.h"

#include <QRegularExpression>
#include <QUuid>

namespace {

// Letters servers and file systems take as they are; anything else could be
// read as a path, a query or a hidden file.
bool PlainFileName(const QString& uid)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_-][A-Za-z0-9._@-]{0,99}$"));
    return plain.match(uid).hasMatch();
}

// Any fixed namespace serves: it only keeps these UUIDs apart from others made from the same UID.
const QUuid kHrefNamespace(QStringLiteral("{6f1c2a9e-5b4d-4e1a-9c3f-7d2b8e0a4c61}"));

}  // namespace

CardDavServer::CardDavServer(DavClient& client, QUrl book) : client_(client), book_(std::move(book)) {}

CollectionTags CardDavServer::tags()
{
    return ReadCollectionTags(client_, book_);
}

CardListing CardDavServer::listAll()
{
    return ListAllCards(client_, book_);
}

CardListing CardDavServer::listChanged(const QByteArray& token)
{
    if (!listsWithText_)
        return listChangedPlain(token);
    try {
        return ListChangedCards(client_, book_, token, true);
    } catch (const SyncTokenRefused&) {
    } catch (const DavError& e) {
        if (e.kind() != DavError::Kind::Http)
            throw;
    }
    // Refused: the token, or only the texts asked with it. Asked once more the
    // plain way, the answer tells which (a refused token raises again).
    CardListing plain = listChangedPlain(token);
    listsWithText_ = false;
    return plain;
}

CardListing CardDavServer::listChangedPlain(const QByteArray& token)
{
    try {
        return ListChangedCards(client_, book_, token);
    } catch (const DavError& e) {
        // A server without the report refuses it in its own way: the sync lists every card instead.
        if (token.isEmpty() && e.kind() == DavError::Kind::Http)
            throw SyncTokenRefused();
        throw;
    }
}

QList<FetchedCard> CardDavServer::fetch(const QStringList& hrefs)
{
    return FetchCards(client_, book_, hrefs, fetchProgress);
}

PutResult CardDavServer::put(const QString& href, const QByteArray& text, const QByteArray& ifMatch)
{
    return PutCard(client_, CardUrl(book_, href), text, ifMatch);
}

DeleteOutcome CardDavServer::remove(const QString& href, const QByteArray& ifMatch)
{
    return DeleteCard(client_, CardUrl(book_, href), ifMatch);
}

QString CardDavServer::hrefFor(const QString& uid) const
{
    QString folder = CardHref(book_);
    if (!folder.endsWith(u'/'))
        folder += u'/';
    const QString name =
        PlainFileName(uid) ? uid : QUuid::createUuidV5(kHrefNamespace, uid).toString(QUuid::WithoutBraces);
    return folder + name + QStringLiteral(".vcf");
}
