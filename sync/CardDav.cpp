#include "sync/CardDav.h"

#include "sync/DavMessages.h"
#include "sync/MultiStatus.h"

#include <QMap>
#include <QSet>
#include <algorithm>
#include <optional>

namespace {

const QByteArray kXmlHead = QByteArrayLiteral(R"(<?xml version="1.0" encoding="utf-8"?>)");
const QByteArray kNamespaces = QByteArrayLiteral(
    R"( xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav" xmlns:cs="http://calendarserver.org/ns/")");

QByteArray PropFindBody(const QByteArray& props)
{
    return kXmlHead + "<d:propfind" + kNamespaces + "><d:prop>" + props + "</d:prop></d:propfind>";
}

QByteArray Escaped(const QString& text)
{
    return text.toHtmlEscaped().toUtf8();
}

QByteArray Escaped(const QByteArray& text)
{
    return Escaped(QString::fromUtf8(text));
}

MultiStatus PropFind(DavClient& client, const QUrl& url, const char* depth, const QByteArray& props)
{
    const DavReply reply = client.send("PROPFIND", url, PropFindBody(props), {{"Depth", depth}});
    if (reply.status != 207)
        throw UnexpectedStatus("PROPFIND", reply);
    return ReadMultiStatus(reply);
}

// The response about the address asked, else the only one there is.
DavResponse ResponseFor(const MultiStatus& answer, const QUrl& url)
{
    for (const DavResponse& response : answer.responses)
        if (SameResource(response.href, url))
            return response;
    return answer.responses.size() == 1 ? answer.responses.first() : DavResponse{};
}

bool IsAddressBook(const DavResponse& response)
{
    return response.found.value(DavName::ResourceType).holds(DavName::AddressBook);
}

QString LastSegment(const QUrl& url)
{
    QStringList parts = url.path(QUrl::FullyDecoded).split(u'/', Qt::SkipEmptyParts);
    return parts.isEmpty() ? url.host() : parts.last();
}

AddressBookFound Found(const DavResponse& response)
{
    const QString name = response.text(DavName::DisplayName);
    return {response.href, name.isEmpty() ? LastSegment(response.href) : name};
}

// A member of a book that is a card: neither a collection nor of another type.
bool IsCard(const DavResponse& response, const QUrl& book)
{
    if (SameResource(response.href, book) || response.found.value(DavName::ResourceType).holds(DavName::Collection))
        return false;
    const QString type = response.text(DavName::ContentType).toLower();
    return type.isEmpty() || type.startsWith(QLatin1String("text/vcard"))
           || type.startsWith(QLatin1String("text/x-vcard")) || type.startsWith(QLatin1String("text/directory"));
}

// Servers send the card inside XML, whose reading turns CRLF into LF and
// whose text was trimmed: back to the lines a GET gives.
QByteArray CardLines(const QString& addressData)
{
    QByteArray text = addressData.toUtf8();
    if (!text.contains('\r'))
        text.replace('\n', "\r\n");
    if (!text.isEmpty() && !text.endsWith('\n'))
        text += "\r\n";
    return text;
}

const QByteArray kDiscoveryProps =
    "<d:resourcetype/><d:displayname/><d:current-user-principal/><c:addressbook-home-set/>";

// Discovery asks addresses that need not be WebDAV at all: a status other than
// 207 only means "not here", and the first such is kept in case nothing is found.
class Discovery {
public:
    explicit Discovery(DavClient& client) : client_(client) {}

    std::optional<DavResponse> ask(const QUrl& url, const char* depth = "0")
    {
        const std::optional<MultiStatus> answer = propFind(url, depth);
        if (!answer)
            return std::nullopt;
        return ResponseFor(*answer, lastUrl_);
    }

    // Home sets named by the response, directly or through its principal.
    QList<QUrl> homesOf(const DavResponse& response)
    {
        QList<QUrl> homes = response.found.value(DavName::HomeSet).hrefs;
        if (!homes.isEmpty())
            return homes;
        for (const QUrl& principal : response.found.value(DavName::Principal).hrefs)
            if (const std::optional<DavResponse> asked = ask(principal))
                homes += asked->found.value(DavName::HomeSet).hrefs;
        return homes;
    }

    void addBooksIn(const QUrl& home, QList<AddressBookFound>& books)
    {
        const std::optional<MultiStatus> answer = propFind(home, "1");
        if (!answer)
            return;
        for (const DavResponse& response : answer->responses)
            if (IsAddressBook(response) && !Contains(books, response.href))
                books << Found(response);
    }

    // Nothing found and the start itself failed: its answer says why.
    void raiseFirstFailure() const
    {
        if (firstFailure_)
            throw UnexpectedStatus("PROPFIND", *firstFailure_);
    }

    QUrl lastUrl() const { return lastUrl_; }

private:
    static bool Contains(const QList<AddressBookFound>& books, const QUrl& url)
    {
        return std::any_of(books.begin(), books.end(),
                           [&](const AddressBookFound& b) { return SameResource(b.url, url); });
    }

    std::optional<MultiStatus> propFind(const QUrl& url, const char* depth)
    {
        const DavReply reply = client_.send("PROPFIND", url, PropFindBody(kDiscoveryProps), {{"Depth", depth}});
        lastUrl_ = reply.url;
        if (reply.status != 207) {
            if (!firstFailure_)
                firstFailure_ = reply;
            return std::nullopt;
        }
        return ReadMultiStatus(reply);
    }

    DavClient& client_;
    QUrl lastUrl_;
    std::optional<DavReply> firstFailure_;
};

}  // namespace

QList<AddressBookFound> DiscoverAddressBooks(DavClient& client, const QUrl& start)
{
    Discovery discovery(client);
    QList<QUrl> homes;
    const std::optional<DavResponse> asked = discovery.ask(start);
    if (asked && IsAddressBook(*asked))
        return {Found(*asked)};
    if (asked)
        homes = discovery.homesOf(*asked);
    if (homes.isEmpty()) {
        const std::optional<DavResponse> wellKnown = discovery.ask(start.resolved(QUrl("/.well-known/carddav")));
        if (wellKnown && IsAddressBook(*wellKnown))
            return {Found(*wellKnown)};
        if (wellKnown)
            homes = discovery.homesOf(*wellKnown);
    }
    // Some servers answer a home set's address with nothing that says it is one.
    if (asked && asked->found.value(DavName::ResourceType).holds(DavName::Collection))
        homes << asked->href;

    QList<AddressBookFound> books;
    for (const QUrl& home : homes)
        discovery.addBooksIn(home, books);
    if (books.isEmpty() && !asked)
        discovery.raiseFirstFailure();
    return books;
}

CollectionTags ReadCollectionTags(DavClient& client, const QUrl& book)
{
    const DavResponse response =
        ResponseFor(PropFind(client, book, "0", "<cs:getctag/><d:sync-token/><d:supported-report-set/>"), book);
    CollectionTags tags;
    tags.ctag = response.text(DavName::Ctag).toUtf8();
    tags.syncToken = response.text(DavName::SyncToken).toUtf8();
    tags.syncCollection = response.found.value(DavName::SupportedReports).holds(DavName::SyncCollection);
    return tags;
}

CardListing ListAllCards(DavClient& client, const QUrl& book)
{
    const MultiStatus answer =
        PropFind(client, book, "1", "<d:resourcetype/><d:getetag/><d:getcontenttype/><d:sync-token/>");
    CardListing listing;
    for (const DavResponse& response : answer.responses) {
        if (SameResource(response.href, book))
            listing.syncToken = response.text(DavName::SyncToken).toUtf8();
        else if (IsCard(response, book) && (response.status == 0 || response.status / 100 == 2))
            listing.cards << ListedCard{CardHref(response.href), response.text(DavName::Etag).toUtf8(), {}};
    }
    return listing;
}

namespace {

constexpr int kMostSyncParts = 10000;  // a server that never ends its listing is not waited on forever

// One sync-collection report from the token; truncated when the server gave only a part (507).
CardListing ListChangesOnce(DavClient& client, const QUrl& book, const QByteArray& token, bool withText,
                            bool& truncated)
{
    const QByteArray body = kXmlHead + "<d:sync-collection" + kNamespaces + "><d:sync-token>" + Escaped(token)
                            + "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/><d:getcontenttype/>"
                            + (withText ? "<c:address-data/>" : "") + "</d:prop></d:sync-collection>";
    // RFC 6578 defines the report for depth 0 only.
    const DavReply reply = client.send("REPORT", book, body, {{"Depth", "0"}});
    const int status = reply.status;
    if (status == 400 || status == 409 || status == 410
        || (status == 403 && BodyHoldsElement(reply.body, DavName::ValidSyncToken)))
        throw SyncTokenRefused();
    if (status != 207)
        throw UnexpectedStatus("REPORT", reply);

    const MultiStatus answer = ReadMultiStatus(reply);
    CardListing listing;
    listing.syncToken = answer.syncToken;
    truncated = false;
    for (const DavResponse& response : answer.responses) {
        if (SameResource(response.href, book))
            truncated = truncated || response.status == 507;
        else if (response.status == 404)
            listing.removed << CardHref(response.href);
        else if (IsCard(response, book))
            listing.cards << ListedCard{
                CardHref(response.href), response.text(DavName::Etag).toUtf8(),
                response.has(DavName::AddressData) ? CardLines(response.text(DavName::AddressData)) : QByteArray()};
    }
    return listing;
}

}  // namespace

CardListing ListChangedCards(DavClient& client, const QUrl& book, const QByteArray& token, bool withText)
{
    // The parts in order: a later part's word on a card stands.
    QMap<QString, ListedCard> present;
    QSet<QString> removed;
    QByteArray from = token;
    bool truncated = true;
    for (int part = 0; truncated; ++part) {
        if (part == kMostSyncParts)
            throw DavError(DavError::Kind::Protocol, DavMessages::EndlessListing(book));
        CardListing listing = ListChangesOnce(client, book, from, withText, truncated);
        for (ListedCard& card : listing.cards) {
            removed.remove(card.href);
            present.insert(card.href, std::move(card));
        }
        for (const QString& href : listing.removed) {
            present.remove(href);
            removed.insert(href);
        }
        if (truncated && (listing.syncToken.isEmpty() || listing.syncToken == from))
            throw DavError(DavError::Kind::Protocol, DavMessages::EndlessListing(book));
        from = listing.syncToken;
    }
    CardListing all;
    all.cards.reserve(present.size());
    for (ListedCard& card : present)
        all.cards << std::move(card);
    all.removed = QStringList(removed.begin(), removed.end());
    all.removed.sort();
    all.syncToken = from;
    return all;
}

QList<FetchedCard> FetchCards(DavClient& client, const QUrl& book, const QStringList& hrefs,
                              const std::function<void(int fetched)>& progress)
{
    QList<FetchedCard> cards;
    cards.reserve(hrefs.size());
    for (qsizetype first = 0; first < hrefs.size(); first += kMultigetBatch) {
        QByteArray body =
            kXmlHead + "<c:addressbook-multiget" + kNamespaces + "><d:prop><d:getetag/><c:address-data/></d:prop>";
        for (const QString& href : hrefs.mid(first, kMultigetBatch))
            body += "<d:href>" + Escaped(CardUrl(book, href).path(QUrl::FullyEncoded)) + "</d:href>";
        body += "</c:addressbook-multiget>";
        const DavReply reply = client.send("REPORT", book, body, {{"Depth", "1"}});
        if (reply.status != 207)
            throw UnexpectedStatus("REPORT", reply);
        for (const DavResponse& response : ReadMultiStatus(reply).responses)
            if (response.has(DavName::AddressData))
                cards << FetchedCard{CardHref(response.href), response.text(DavName::Etag).toUtf8(),
                                     CardLines(response.text(DavName::AddressData))};
        if (progress)
            progress(int(std::min(hrefs.size(), first + kMultigetBatch)));
    }
    return cards;
}

FetchedCard GetCard(DavClient& client, const QUrl& card)
{
    const DavReply reply = client.send("GET", card);
    if (reply.status != 200)
        throw UnexpectedStatus("GET", reply);
    return {CardHref(reply.url), reply.etag, reply.body};
}

PutResult PutCard(DavClient& client, const QUrl& card, const QByteArray& text, const QByteArray& ifMatch)
{
    const DavHeaders precondition{ifMatch.isEmpty() ? qMakePair(QByteArray("If-None-Match"), QByteArray("*"))
                                                    : qMakePair(QByteArray("If-Match"), ifMatch)};
    const DavReply reply = client.send("PUT", card, text, precondition);
    if (reply.status == 412)
        return {PutOutcome::PreconditionFailed, {}};
    if (reply.status != 200 && reply.status != 201 && reply.status != 204)
        throw UnexpectedStatus("PUT", reply);
    return {PutOutcome::Done, reply.etag};
}

DeleteOutcome DeleteCard(DavClient& client, const QUrl& card, const QByteArray& ifMatch)
{
    DavHeaders precondition;
    if (!ifMatch.isEmpty())
        precondition << qMakePair(QByteArray("If-Match"), ifMatch);
    const DavReply reply = client.send("DELETE", card, {}, precondition);
    switch (reply.status) {
    case 200:
    case 202:
    case 204: return DeleteOutcome::Done;
    case 404: return DeleteOutcome::Gone;
    case 412: return DeleteOutcome::PreconditionFailed;
    default: throw UnexpectedStatus("DELETE", reply);
    }
}

QString CardHref(const QUrl& card)
{
    return card.path(QUrl::FullyDecoded);
}

QUrl CardUrl(const QUrl& book, const QString& href)
{
    QUrl url = book;
    url.setPath(href, QUrl::DecodedMode);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}
