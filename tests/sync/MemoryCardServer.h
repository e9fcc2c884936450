#pragma once
// An address book held in memory, behaving as the CardDAV servers the sync
// meets do: ETags that change with every write, conditional writes, a change
// log behind its sync tokens, and a way to change a card between the sync's
// listing and its write, as a phone does.

#include "exchange/vcard/CardText.h"
#include "sync/CardServer.h"

#include <QCryptographicHash>
#include <QMap>
#include <functional>
#include <stdexcept>

class MemoryCardServer : public CardServer {
public:
    struct Card {
        QByteArray etag;
        QByteArray text;
    };
    QMap<QString, Card> cards;
    QList<std::pair<int, QString>> log;  // (version, href) of every write and delete
    int version = 1;
    int requests = 0;
    int writes = 0;
    bool refuseTokens = false;
    bool listsTexts = false;  // the listing of changes brings the cards along, as most servers can
    int failAfterPuts = -1;   // the connection drops after that many writes
    std::function<void(const QString& href)> beforeWrite;  // the phone's turn, once per write

    // The phone writes a card.
    QString phonePut(const QString& href, const QByteArray& text)
    {
        cards[href] = {etagOf(text), text};
        log.append({++version, href});
        return href;
    }
    void phoneDelete(const QString& href)
    {
        cards.remove(href);
        log.append({++version, href});
    }

    CollectionTags tags() override
    {
        ++requests;
        return {"c" + QByteArray::number(version), token(), true};
    }
    CardListing listAll() override
    {
        ++requests;
        CardListing listing;
        for (auto it = cards.cbegin(); it != cards.cend(); ++it)
            listing.cards.append({it.key(), it->etag, {}});
        listing.syncToken = token();
        return listing;
    }
    CardListing listChanged(const QByteArray& since) override
    {
        ++requests;
        // No token: every card, as a first sync asks.
        const int from = since.isEmpty() ? 0 : since.mid(1).toInt();
        if (!since.isEmpty() && (refuseTokens || !since.startsWith('t') || from > version))
            throw SyncTokenRefused();
        CardListing listing;
        QSet<QString> seen;
        if (since.isEmpty()) {
            CardListing all = listAll();
            --requests;
            for (ListedCard& card : all.cards)
                card.text = listsTexts ? cards[card.href].text : QByteArray();
            return all;
        }
        for (const auto& [v, href] : log) {
            if (v <= from || seen.contains(href))
                continue;
            seen.insert(href);
            if (cards.contains(href))
                listing.cards.append({href, cards[href].etag, listsTexts ? cards[href].text : QByteArray()});
            else
                listing.removed.append(href);
        }
        listing.syncToken = token();
        return listing;
    }
    QList<FetchedCard> fetch(const QStringList& hrefs) override
    {
        ++requests;
        QList<FetchedCard> found;
        for (const QString& href : hrefs)
            if (cards.contains(href))
                found.append({href, cards[href].etag, cards[href].text});
        return found;
    }
    PutResult put(const QString& href, const QByteArray& text, const QByteArray& ifMatch) override
    {
        phoneTurn(href);
        ++requests;
        const bool there = cards.contains(href);
        if (ifMatch.isEmpty() ? there : (!there || cards[href].etag != ifMatch))
            return {PutOutcome::PreconditionFailed, {}};
        // Servers store what they were sent in their own way.
        phonePut(href, JoinCard(SplitCard(text)));
        ++writes;
        return {PutOutcome::Done, cards[href].etag};
    }
    DeleteOutcome remove(const QString& href, const QByteArray& ifMatch) override
    {
        phoneTurn(href);
        ++requests;
        if (!cards.contains(href))
            return DeleteOutcome::Gone;
        if (cards[href].etag != ifMatch)
            return DeleteOutcome::PreconditionFailed;
        phoneDelete(href);
        ++writes;
        return DeleteOutcome::Done;
    }
    QString hrefFor(const QString& uid) const override
    {
        return QStringLiteral("/book/") + uid + QStringLiteral(".vcf");
    }

    // Every card's UID, for finding duplicates.
    QStringList uids() const
    {
        QStringList list;
        for (const Card& card : cards)
            list << QString::fromUtf8(CardUid(card.text));
        return list;
    }

private:
    QByteArray token() const { return "t" + QByteArray::number(version); }
    static QByteArray etagOf(const QByteArray& text)
    {
        return '"' + QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex().left(12) + '"';
    }
    void phoneTurn(const QString& href)
    {
        if (failAfterPuts == 0)
            throw std::runtime_error("connection dropped");
        if (failAfterPuts > 0)
            --failAfterPuts;
        if (beforeWrite) {
            auto turn = std::move(beforeWrite);
            beforeWrite = nullptr;
            turn(href);
        }
    }
};
