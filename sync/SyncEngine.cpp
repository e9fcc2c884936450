#include "SyncEngine.h"

#include "exchange/ContactIdentity.h"
#include "exchange/vcard/CardText.h"
#include "store/SyncTables.h"
#include "sync/CardPatch.h"
#include "sync/SyncDecision.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QUuid>

namespace {

// How many times a card changed on the server between reading and writing is merged again.
constexpr int maxWriteTries = 3;
// A sync deleting more than this many records or cards asks first.
constexpr int manyDeletes = 50;

QByteArray packConflict(const SyncConflict& c)
{
    QJsonArray fields;
    for (SyncField f : c.fields)
        fields.append(int(f));
    QJsonObject choices;
    for (auto it = c.choices.cbegin(); it != c.choices.cend(); ++it)
        choices.insert(QString::number(int(it.key())), it.value() == Side::Book ? u"book"_qs : u"server"_qs);
    return QJsonDocument(QJsonObject{{u"fields"_qs, fields},
                                     {u"book"_qs, QString::fromUtf8(PackFields(c.book))},
                                     {u"server"_qs, QString::fromUtf8(PackFields(c.server))},
                                     {u"choices"_qs, choices}})
        .toJson(QJsonDocument::Compact);
}

SyncConflict unpackConflict(const StoredConflict& stored)
{
    const QJsonObject o = QJsonDocument::fromJson(stored.data).object();
    SyncConflict c;
    c.rec = stored.rec;
    for (const QJsonValue& f : o.value(u"fields"_qs).toArray())
        c.fields << SyncField(f.toInt());
    c.book = UnpackFields(o.value(u"book"_qs).toString().toUtf8());
    c.server = UnpackFields(o.value(u"server"_qs).toString().toUtf8());
    const QJsonObject choices = o.value(u"choices"_qs).toObject();
    for (auto it = choices.begin(); it != choices.end(); ++it)
        c.choices.insert(SyncField(it.key().toInt()), it.value().toString() == u"book"_qs ? Side::Book : Side::Server);
    return c;
}

// One contact of this sync: the pair the status table knows, or a record or card new to it.
struct Item {
    QString href;
    std::optional<SyncedCard> state;
    std::optional<GoneCard> gone;
    std::optional<BookRecord> record;
    std::optional<FetchedCard> card;  // the server's text, when it was fetched
    SyncItem what;
    SyncAction action = SyncAction::None;
    bool paired = false;  // a record and a card found holding the same person on a first sync
};

class SyncRun {
public:
    SyncRun(SyncBook& book, CardServer& server, const SyncOptions& options)
        : book_(book), server_(server), o_(options), db_(book.handle()), widths_(book.widths())
    {
    }

    SyncReport run()
    {
        // Whether the touches can be trusted is read before the triggers are
        // made: a book synced by an older program, or whose kept values came
        // after its triggers, is read whole this once.
        touched_ = ReadTouchedRecords(db_);
        // ... and only once a sync read every record with the triggers in place:
        // records written before them (before the sync was set up) left no touch.
        touched_.trusted = touched_.trusted && setting(u"touches"_qs) == u"kept"_qs;
        if (!o_.dryRun)
            book_.transaction([&] { EnsureSyncTables(db_); });
        synced_ = HasSyncedCards(db_);
        // Nothing touched and nothing waiting: the status rows are read only
        // if the server has changes.
        const bool bookQuiet = touched_.trusted && touched_.recs.isEmpty() && !SyncWaits(db_);
        if (!bookQuiet)
            readState();
        const bool serverQuiet = listServer();
        if (!touched_.trusted)
            readBook();
        if (serverQuiet && (bookQuiet || (!bookChanged() && conflicts_.isEmpty()))) {
            report_.lines << u"两边都没有改动"_qs;
            if (!o_.dryRun)
                finish();
            return report_;
        }
        if (bookQuiet)
            readState();
        fetchChanged();
        if (touched_.trusted)
            readBook();
        decide();
        if (guardDeletes())
            return report_;
        if (o_.dryRun) {
            describe();
            report_.complete = false;
            return report_;
        }
        applyToBook();
        applyToServer();
        finish();
        return report_;
    }

private:
    QString setting(const QString& name) { return SyncSetting(db_, name); }

    // Where the touches are trusted, the cards' texts are read later, only for
    // the cards the sync works on (readBook).
    void readState()
    {
        for (const SyncedCard& card : ReadSyncedCards(db_, !touched_.trusted)) {
            stateOrder_ << card.href;
            state_.insert(card.href, card);
            hrefOfRec_.insert(card.rec, card.href);
        }
        for (const GoneCard& g : ReadGoneCards(db_))
            gone_.insert(g.href, g);
        for (const StoredConflict& c : ReadConflicts(db_))
            conflicts_.insert(c.rec, unpackConflict(c));
    }

    // Every record, or, where the touches are trusted, only those that can
    // have anything to do: touched since the last sync, changed or removed on
    // the server, in conflict, or sent and not yet confirmed. A record the
    // sync knows and did not read is as the last sync left it.
    void readBook()
    {
        QList<BookRecord> records;
        if (touched_.trusted) {
            QSet<qint64> wanted(touched_.recs.cbegin(), touched_.recs.cend());
            QList<SyncedCard*> texts;
            for (SyncedCard& s : state_) {
                const auto listed = listed_.constFind(s.href);
                const bool serverMoved =
                    fetched_.contains(s.href) || !onServer(s.href) || (listed != listed_.cend() && *listed != s.etag);
                if (serverMoved || s.etag.isEmpty() || conflicts_.contains(s.rec) || wanted.contains(s.rec)) {
                    wanted.insert(s.rec);
                    texts << &s;
                }
            }
            ReadSyncedTexts(db_, texts);
            QList<qint64> recs(wanted.cbegin(), wanted.cend());
            std::sort(recs.begin(), recs.end());
            records = book_.records(recs);
            asked_ = std::move(wanted);
            inBook_ = book_.count();
        } else {
            records = book_.records();
            inBook_ = records.size();
        }
        for (BookRecord& r : records) {
            const qint64 rec = r.rec;
            digests_.insert(rec, SyncDigest(r.contact, r.photoDigest));
            records_.insert(rec, std::move(r));
            order_ << rec;
        }
    }

    // Whether the book is as the last sync left it: by the touches where they
    // are trusted (read before the server was listed), else by every record.
    bool bookChanged() const
    {
        if (!gone_.isEmpty())
            return true;
        for (const SyncedCard& s : state_)
            if (s.etag.isEmpty())
                return true;
        if (touched_.trusted)
            return !touched_.recs.isEmpty();
        if (records_.size() != state_.size())
            return true;
        for (const SyncedCard& s : state_)
            if (digests_.value(s.rec) != s.digest)
                return true;
        return false;
    }

    // A record the sync knows and, its touches trusted, did not read: as the last sync left it.
    bool unreadAndUnchanged(qint64 rec) const { return touched_.trusted && !asked_.contains(rec); }

    // What changed on the server since the last sync: by the sync-collection
    // report where the server has it (one request when nothing did; the first
    // sync lists everything with it too), else by the collection's tag and a
    // listing of every card. Answers whether the server is as the last sync left it.
    bool listServer()
    {
        const QByteArray token = setting(u"token"_qs).toLatin1();
        if (setting(u"lists-changes"_qs) != u"0"_qs) {
            if (std::optional<CardListing> listing = listChanges(token)) {
                take(*listing);
                return !full_ && listing->cards.isEmpty() && listing->removed.isEmpty();
            }
            listsChanges_ = false;
        }
        tags_ = server_.tags();
        if (synced_ && !tags_.ctag.isEmpty() && tags_.ctag == setting(u"ctag"_qs).toLatin1())
            return true;
        full_ = true;
        take(server_.listAll());
        return false;
    }

    // The changes since the token; after a refused token, every card again. Nothing where the server lists no changes.
    std::optional<CardListing> listChanges(const QByteArray& token)
    {
        try {
            full_ = token.isEmpty() || !synced_;
            return server_.listChanged(full_ ? QByteArray() : token);
        } catch (const SyncTokenRefused&) {
            if (full_)
                return std::nullopt;
        }
        report_.lines << u"服务器不再认得上次的同步标记：重新列出全部名片（通讯录里改过的不会被删）"_qs;
        full_ = true;
        try {
            return server_.listChanged({});
        } catch (const SyncTokenRefused&) {
            return std::nullopt;
        }
    }

    void take(const CardListing& listing)
    {
        newToken_ = listing.syncToken;
        for (const ListedCard& card : listing.cards) {
            listed_.insert(card.href, card.etag);
            if (!card.text.isEmpty())
                listedText_.insert(card.href, card.text);
        }
        for (const QString& href : listing.removed)
            removed_.insert(href);
        listedAny_ = true;
    }

    // Whether the card at href is on the server, as far as this sync knows:
    // without a listing, as it was; after a full one, when listed; after one
    // of changes, unless listed as removed.
    bool onServer(const QString& href) const
    {
        if (!listedAny_)
            return true;
        return full_ ? listed_.contains(href) : !removed_.contains(href);
    }

    void fetchChanged()
    {
        QStringList wanted;
        QSet<QString> asked;
        for (auto it = listed_.cbegin(); it != listed_.cend(); ++it) {
            const auto s = state_.constFind(it.key());
            const auto g = gone_.constFind(it.key());
            const QByteArray known = s != state_.cend() ? s->etag : g != gone_.cend() ? g->etag : QByteArray();
            if (known.isEmpty() || known != it.value()) {
                wanted << it.key();
                asked.insert(it.key());
            }
        }
        // A conflict is looked at again with the card as it is now, and a card
        // sent but never confirmed is looked for where it was sent.
        for (const SyncedCard& s : state_) {
            const bool again = s.etag.isEmpty() || conflicts_.contains(s.rec);
            if (again && !asked.contains(s.href) && onServer(s.href))
                wanted << s.href;
        }
        // The cards the listing brought along need no request of their own.
        QStringList unfetched;
        for (const QString& href : std::as_const(wanted)) {
            const auto text = listedText_.constFind(href);
            if (text != listedText_.cend())
                fetched_.insert(href, FetchedCard{href, listed_.value(href), *text});
            else
                unfetched << href;
        }
        listedText_.clear();
        progress(u"读取名片"_qs, 0, int(unfetched.size()));
        for (qsizetype at = 0; at < unfetched.size(); at += 100) {
            checkCancel();
            for (FetchedCard& card : server_.fetch(unfetched.mid(at, 100)))
                fetched_.insert(card.href, std::move(card));
            progress(u"读取名片"_qs, int(std::min(at + 100, unfetched.size())), int(unfetched.size()));
        }
    }

    SideState serverState(const QString& href, const QByteArray& etag, const QByteArray& base) const
    {
        if (!onServer(href))
            return SideState::Absent;
        const auto card = fetched_.constFind(href);
        if (card == fetched_.cend())
            return listed_.contains(href) && listed_.value(href) != etag ? SideState::Absent : SideState::Unchanged;
        if (card->etag == etag && !etag.isEmpty())
            return SideState::Unchanged;
        return NormalisedCard(card->text) == NormalisedCard(base) ? SideState::Unchanged : SideState::Changed;
    }

    void decide()
    {
        QSet<QString> seen;
        for (const QString& href : stateOrder_) {
            const SyncedCard& s = state_[href];
            Item item;
            item.href = s.href;
            item.state = s;
            item.what.known = true;
            item.what.pending = s.etag.isEmpty();
            if (records_.contains(s.rec)) {
                item.record = records_.value(s.rec);
                item.what.book = digests_.value(s.rec) == s.digest ? SideState::Unchanged : SideState::Changed;
            } else if (unreadAndUnchanged(s.rec)) {
                item.what.book = SideState::Unchanged;
            }
            if (!item.record && item.what.book != SideState::Unchanged)
                // gone from the book without a tombstone: one is made here
                item.gone = GoneCard{s.href, s.uid, s.etag, s.base};
            item.what.server = serverState(s.href, s.etag, s.base);
            if (item.what.pending)
                item.what.server = fetched_.contains(s.href) ? SideState::Changed : SideState::Absent;
            item.card = fetched_.contains(s.href) ? std::optional(fetched_.value(s.href)) : std::nullopt;
            seen.insert(s.href);
            add(std::move(item));
        }
        for (const GoneCard& g : gone_) {
            Item item;
            item.href = g.href;
            item.gone = g;
            item.what.known = true;
            item.what.server = serverState(g.href, g.etag, g.base);
            item.card = fetched_.contains(g.href) ? std::optional(fetched_.value(g.href)) : std::nullopt;
            seen.insert(g.href);
            add(std::move(item));
        }
        // Records the sync never saw: matched with new cards holding the same person, else new cards.
        HoldingsIndex holders;
        QList<qint64> fresh;
        for (qint64 rec : order_) {
            if (hrefOfRec_.contains(rec))
                continue;
            const BookRecord& r = records_[rec];
            holders.add(HoldingsOf(r.contact.texts, r.contact.kept, r.photoDigest.isEmpty() ? 0 : 1),
                        int(fresh.size()));
            fresh << rec;
        }
        QSet<qint64> paired;
        // New cards in the order of their hrefs, so a report reads the same every time.
        QStringList hrefs = fetched_.keys();
        std::sort(hrefs.begin(), hrefs.end());
        for (const QString& href : hrefs) {
            const FetchedCard& card = fetched_[href];
            if (seen.contains(href) || IsGroupCard(card.text))
                continue;
            Item item;
            item.href = href;
            item.card = card;
            item.what.server = SideState::Changed;
            int holder = -1;
            if (!fresh.isEmpty()) {
                const StoredContact asRecord = RecordOfCard(card.text, widths_);
                holder = holders.holderOf(HoldingsOf(asRecord.texts, asRecord.kept, asRecord.photo.isEmpty() ? 0 : 1));
            }
            if (holder >= 0 && !paired.contains(fresh[holder])) {
                paired.insert(fresh[holder]);
                item.record = records_.value(fresh[holder]);
                item.paired = true;
            }
            add(std::move(item));
        }
        for (qint64 rec : fresh) {
            if (paired.contains(rec))
                continue;
            Item item;
            item.record = records_.value(rec);
            item.what.book = SideState::Changed;
            add(std::move(item));
        }
    }

    void add(Item&& item)
    {
        item.action = item.paired ? SyncAction::Merge : Decide(item.what);
        if (item.action != SyncAction::None)
            items_.append(std::move(item));
    }

    QString nameOf(const Item& item) const
    {
        if (item.record)
            return item.record->contact.text(ContactText::Name);
        if (item.card)
            return RecordOfCard(item.card->text, widths_).text(ContactText::Name);
        if (item.gone)
            return RecordOfCard(item.gone->base, widths_).text(ContactText::Name);
        return item.href;
    }

    // A sync that would delete much, or that finds one side empty where it synced
    // before (the wrong address book, a phone that was reset), asks first.
    bool guardDeletes()
    {
        int inBook = 0, onServer = 0;
        for (const Item& item : items_) {
            inBook += item.action == SyncAction::DeleteRecord;
            onServer += item.action == SyncAction::DeleteCard && item.gone;
        }
        const qsizetype cards = state_.size() + gone_.size();  // the cards the last sync left on the server
        const bool synced = !state_.isEmpty() || !gone_.isEmpty();
        const bool emptySide = synced && (inBook_ == 0 || serverEmptied());
        const bool many = inBook > manyDeletes || onServer > manyDeletes || (inBook > 0 && inBook * 2 > inBook_)
                          || (onServer > 0 && onServer * 2 > cards);
        if (!(many || (emptySide && (inBook || onServer))) || o_.allowDeletes)
            return false;
        report_.stoppedForDeletes = true;
        report_.complete = false;
        report_.deletesWarning =
            QStringLiteral("这次同步会删除通讯录里 %1 个联系人、服务器上 %2 张名片%3。没有改动任何一边；确认无误后用 "
                           "--allow-deletes 再同步。")
                .arg(inBook)
                .arg(onServer)
                .arg(emptySide ? u"（有一边是空的：是否选错了地址簿，或手机被重置？）"_qs : QString());
        return true;
    }

    // What a dry run would do, contact by contact.
    void describe()
    {
        for (const Item& item : items_) {
            const QString name = nameOf(item);
            switch (item.action) {
            case SyncAction::CreateCard:
            case SyncAction::RemakeCard:
            case SyncAction::Upload:
                ++report_.uploaded;
                report_.lines << QStringLiteral("将上传：%1").arg(name);
                break;
            case SyncAction::CreateRecord:
            case SyncAction::PutBackRecord:
            case SyncAction::Download:
                ++report_.downloaded;
                report_.lines << QStringLiteral("将下载：%1").arg(name);
                break;
            case SyncAction::DeleteRecord:
                ++report_.deleted;
                report_.lines << QStringLiteral("将删除（通讯录）：%1").arg(name);
                break;
            case SyncAction::DeleteCard:
                ++report_.deleted;
                report_.lines << QStringLiteral("将删除（服务器）：%1").arg(name);
                break;
            case SyncAction::Merge: describeMerge(item, name); break;
            default: break;
            }
        }
    }

    void describeMerge(const Item& item, const QString& name)
    {
        const FetchedCard card = item.card ? *item.card : FetchedCard{item.href, item.state->etag, item.state->base};
        const ContactFields serverNow = FieldsOfCard(card.text, widths_);
        const ContactFields bookNow = FieldsOfRecord(item.record->contact);
        const ContactFields bookBase = item.paired ? serverNow : UnpackFields(item.state->fields);
        const ContactFields serverBase = item.paired ? serverNow : FieldsOfCard(item.state->base, widths_);
        const FieldMerge m =
            MergeFields(bookBase, bookNow, serverBase, serverNow, conflicts_.value(item.record->rec).choices);
        if (!m.conflicts().isEmpty()) {
            ++report_.conflicts;
            report_.lines << QStringLiteral("将冲突：%1").arg(name);
            return;
        }
        if (m.changes(Side::Server)) {
            ++report_.uploaded;
            report_.lines << QStringLiteral("将上传：%1").arg(name);
        }
        if (m.changes(Side::Book)) {
            ++report_.downloaded;
            report_.lines << QStringLiteral("将下载：%1").arg(name);
        }
    }

    // Whether the listing leaves no card the last sync left there.
    bool serverEmptied() const
    {
        if (!listedAny_)
            return false;
        if (full_)
            return listed_.isEmpty();
        for (const SyncedCard& s : state_)
            if (!removed_.contains(s.href))
                return false;
        for (const GoneCard& g : gone_)
            if (!removed_.contains(g.href))
                return false;
        return true;
    }

    void applyToBook()
    {
        const bool deletes = std::any_of(items_.begin(), items_.end(),
                                         [](const Item& i) { return i.action == SyncAction::DeleteRecord; });
        if (deletes)
            report_.backup = book_.backup();
        EnsureSyncTables(db_);
        book_.transaction([&] {
            for (Item& item : items_) {
                switch (item.action) {
                case SyncAction::CreateRecord:
                case SyncAction::PutBackRecord: createRecord(item); break;
                case SyncAction::DeleteRecord: deleteRecord(item); break;
                case SyncAction::Forget: forget(item); break;
                default: break;
                }
            }
            saveCreated();
        });
    }

    void applyToServer()
    {
        createCards();
        int done = 0;
        const int total = int(items_.size());
        for (Item& item : items_) {
            checkCancel();
            progress(u"同步"_qs, done++, total);
            switch (item.action) {
            case SyncAction::DeleteCard: deleteCard(item); break;
            case SyncAction::Adopt: adopt(item); break;
            case SyncAction::Upload:
            case SyncAction::Download:
            case SyncAction::Merge: merge(item); break;
            default: break;
            }
        }
        progress(u"同步"_qs, total, total);
    }

    void finish()
    {
        book_.transaction([&] {
            if (!listsChanges_)
                SetSyncSetting(db_, u"lists-changes"_qs, u"0"_qs);
            if (report_.complete) {
                if (!newToken_.isEmpty())
                    SetSyncSetting(db_, u"token"_qs, QString::fromLatin1(newToken_));
                // The tag is kept only when nothing was written: a write changes it.
                SetSyncSetting(db_, u"ctag"_qs,
                               report_.uploaded + report_.deleted == 0 ? QString::fromLatin1(tags_.ctag) : QString());
            }
            // The touches read are dealt with; those left since, and the records
            // skipped, are looked at by the next sync.
            ForgetTouchesUpTo(db_, touched_.upTo);
            SetSyncSetting(db_, u"touches"_qs, u"kept"_qs);
            for (qint64 rec : skipped_)
                TouchRecord(db_, rec);
            SetSyncSetting(db_, u"last"_qs,
                           QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH:mm"_qs) + u" "_qs + report_.summary());
        });
    }

    // ---- the book's side

    SyncedCard stateFor(const Item& item, qint64 rec, const StoredContact& record, const FetchedCard& card) const
    {
        SyncedCard s;
        s.rec = rec;
        s.href = item.href;
        s.uid = item.state ? item.state->uid : item.gone ? item.gone->uid : QString::fromUtf8(CardUid(card.text));
        if (s.uid.isEmpty())
            s.uid = item.href;
        s.etag = card.etag;
        s.base = card.text;
        s.digest = SyncDigest(record, PhotoDigest(record.photo));
        s.fields = PackFields(FieldsOfRecord(record));
        return s;
    }

    // Inside a transaction, which ends with saveCreated().
    void createRecord(Item& item)
    {
        const StoredContact record = RecordOfCard(item.card->text, widths_);
        const qint64 rec = book_.add(record);
        created_ << stateFor(item, rec, record, *item.card);
        if (item.gone)
            ForgetGoneCard(db_, item.href);
        ++report_.downloaded;
        report_.lines << QStringLiteral("下载：%1%2")
                             .arg(record.text(ContactText::Name),
                                  item.gone ? u"（通讯录里删了，手机上又改过：放回通讯录）"_qs : QString());
    }

    // The status of the records made, in one go; their touches are the sync's own.
    void saveCreated()
    {
        SaveSyncedCards(db_, created_);
        QList<qint64> recs;
        for (const SyncedCard& s : std::as_const(created_))
            recs << s.rec;
        ForgetTouchesOf(db_, recs);
        created_.clear();
    }

    void deleteRecord(Item& item)
    {
        // The status row first, so the record leaves no tombstone behind.
        ForgetSyncedCard(db_, item.href);
        ForgetConflict(db_, item.record->rec);
        book_.remove(item.record->rec);
        ++report_.deleted;
        report_.lines << QStringLiteral("删除（通讯录）：%1").arg(item.record->contact.text(ContactText::Name));
    }

    void forget(Item& item)
    {
        if (item.gone)
            ForgetGoneCard(db_, item.href);
        if (item.state)
            ForgetSyncedCard(db_, item.href);
    }

    // ---- the server's side

    FetchedCard readBack(const QString& href)
    {
        const QList<FetchedCard> cards = server_.fetch({href});
        if (cards.isEmpty())
            throw Exception(QStringLiteral("服务器没有给回刚写入的名片：%1").arg(href));
        return cards.first();
    }

    // New cards: every one's href and UID saved first, in one write, so a sync
    // killed while sending finds them again and never sends a second copy;
    // then each is sent, and all are read back in batches.
    void createCards()
    {
        QList<std::pair<Item*, StoredContact>> creating;
        for (Item& item : items_) {
            if (item.action != SyncAction::CreateCard && item.action != SyncAction::RemakeCard)
                continue;
            std::optional<StoredContact> record = book_.record(item.record->rec);
            if (!record) {
                skip(item);
                continue;
            }
            const QString uid = item.state ? item.state->uid : QUuid::createUuid().toString(QUuid::WithoutBraces);
            if (item.href.isEmpty())
                item.href = server_.hrefFor(uid);
            item.state = SyncedCard{item.record->rec,
                                    uid,
                                    item.href,
                                    {},
                                    {},
                                    SyncDigest(*record, PhotoDigest(record->photo)),
                                    PackFields(FieldsOfRecord(*record))};
            creating.append({&item, std::move(*record)});
        }
        if (creating.isEmpty())
            return;
        book_.transaction([&] {
            for (const auto& [item, record] : creating)
                SaveSyncedCard(db_, *item->state);
        });
        QHash<QString, std::pair<Item*, const StoredContact*>> sent;
        for (const auto& [item, record] : creating) {
            checkCancel();
            progress(u"上传"_qs, int(sent.size()), int(creating.size()));
            server_.put(item->href, NewCard(record, item->state->uid.toUtf8()), {});
            sent.insert(item->href, {item, &record});
        }
        const QStringList hrefs = sent.keys();
        for (qsizetype at = 0; at < hrefs.size(); at += 100) {
            const QList<FetchedCard> back = server_.fetch(hrefs.mid(at, 100));
            book_.transaction([&] {
                for (const FetchedCard& card : back) {
                    const auto [item, record] = sent.value(card.href);
                    if (!item || CardUid(card.text) != item->state->uid.toUtf8()) {
                        report_.complete = false;
                        report_.lines << QStringLiteral("服务器上 %1 已是另一张名片，未上传").arg(card.href);
                        continue;
                    }
                    SaveSyncedCard(db_, stateFor(*item, item->record->rec, *record, card));
                    ++report_.uploaded;
                    report_.lines << QStringLiteral("上传：%1").arg(record->text(ContactText::Name));
                }
            });
        }
    }

    void adopt(Item& item)
    {
        if (CardUid(item.card->text) != item.state->uid.toUtf8())
            throw Exception(QStringLiteral("服务器上 %1 已是另一张名片").arg(item.href));
        SyncedCard s = *item.state;
        s.etag = item.card->etag;
        s.base = item.card->text;
        book_.transaction([&] { SaveSyncedCard(db_, s); });
        ++report_.uploaded;
        report_.lines << QStringLiteral("上传：%1").arg(item.record->contact.text(ContactText::Name));
    }

    void deleteCard(Item& item)
    {
        if (!item.gone)  // a card sent but never confirmed, whose record is gone
            return;
        const DeleteOutcome outcome = server_.remove(item.href, item.gone->etag);
        if (outcome == DeleteOutcome::PreconditionFailed) {
            // Changed on the phone meanwhile: the change wins, the record comes back.
            item.card = readBack(item.href);
            book_.transaction([&] {
                createRecord(item);
                saveCreated();
            });
            return;
        }
        book_.transaction([&] {
            ForgetGoneCard(db_, item.href);
            ForgetSyncedCard(db_, item.href);
        });
        ++report_.deleted;
        report_.lines
            << QStringLiteral("删除（服务器）：%1").arg(RecordOfCard(item.gone->base, widths_).text(ContactText::Name));
    }

    void merge(Item& item)
    {
        for (int tries = 0; tries < maxWriteTries; ++tries) {
            const std::optional<StoredContact> record = book_.record(item.record->rec);
            if (!record || SyncDigest(*record, PhotoDigest(record->photo)) != digests_.value(item.record->rec))
                return skip(item);  // the window changed it meanwhile: the next sync takes it
            const FetchedCard card =
                item.card ? *item.card : FetchedCard{item.href, item.state->etag, item.state->base};
            const ContactFields bookNow = FieldsOfRecord(*record);
            const ContactFields serverNow = FieldsOfCard(card.text, widths_);
            const ContactFields bookBase = item.paired ? serverNow : UnpackFields(item.state->fields);
            const ContactFields serverBase = item.paired ? serverNow : FieldsOfCard(item.state->base, widths_);
            const auto conflict = conflicts_.constFind(record ? item.record->rec : 0);
            const FieldMerge m =
                MergeFields(bookBase, bookNow, serverBase, serverNow,
                            conflict == conflicts_.cend() ? QHash<SyncField, Side>{} : conflict->choices);
            if (!m.conflicts().isEmpty())
                return keepConflict(item, m, bookNow, serverNow);
            StoredContact after = *record;
            if (m.changes(Side::Book)) {
                const bool photoFromServer = m.sources[size_t(SyncField::Photo)] == FieldSource::Server;
                after = RecordOfFields(
                    m.merged, photoFromServer ? RecordOfCard(card.text, widths_).photo : record->photo, widths_);
            }
            FetchedCard agreed = card;
            if (m.changes(Side::Server)) {
                CardChanges changes;
                for (int i = 0; i < SyncFieldCount; ++i)
                    if (m.sources[size_t(i)] == FieldSource::Book)
                        changes.fields << SyncField(i);
                changes.values = m.valuesFromBook;
                changes.photo = record->photo;
                const QByteArray text = PatchCard(card.text, serverNow, m.merged, changes);
                if (server_.put(item.href, text, card.etag).outcome == PutOutcome::PreconditionFailed) {
                    item.card = readBack(item.href);  // changed on the phone meanwhile: merge again
                    continue;
                }
                agreed = readBack(item.href);
                ++report_.uploaded;
                report_.lines << QStringLiteral("上传：%1").arg(after.text(ContactText::Name));
            }
            book_.transaction([&] {
                if (m.changes(Side::Book)) {
                    book_.update(item.record->rec, *record, after);
                    ForgetTouchedRecord(db_, item.record->rec);
                    ++report_.downloaded;
                    report_.lines << QStringLiteral("下载：%1").arg(after.text(ContactText::Name));
                }
                SaveSyncedCard(db_, stateFor(item, item.record->rec, after, agreed));
                ForgetConflict(db_, item.record->rec);
            });
            return;
        }
        skip(item);
    }

    void keepConflict(const Item& item, const FieldMerge& m, const ContactFields& book, const ContactFields& server)
    {
        SyncConflict c;
        c.rec = item.record->rec;
        c.fields = m.conflicts();
        c.book = book;
        c.server = server;
        c.choices = conflicts_.value(c.rec).choices;
        // A pair met for the first time is remembered too, with the card as both sides' base.
        book_.transaction([&] {
            if (item.paired)
                SaveSyncedCard(db_, stateFor(item, c.rec, RecordOfCard(item.card->text, widths_), *item.card));
            SaveConflict(db_, {c.rec, packConflict(c)});
        });
        ++report_.conflicts;
        QStringList names;
        for (SyncField f : c.fields)
            names << SyncFieldName(f);
        report_.lines << QStringLiteral("冲突：编号 %1 %2（%3 两边都改了，请选择保留哪一边）")
                             .arg(c.rec)
                             .arg(book.text(ContactText::Name), names.join(u'、'));
    }

    void skip(const Item& item)
    {
        if (item.record)
            skipped_.insert(item.record->rec);
        report_.complete = false;
        report_.lines << QStringLiteral("跳过：%1（同步时被改动，下次同步再处理）").arg(nameOf(item));
    }

    void progress(const QString& step, int done, int total)
    {
        if (o_.progress)
            o_.progress(step, done, total);
    }

    void checkCancel()
    {
        if (o_.cancelled && o_.cancelled())
            throw SyncCancelled();
    }

    SyncBook& book_;
    CardServer& server_;
    const SyncOptions& o_;
    sqlite3* db_;
    const ColumnWidths widths_;
    QHash<QString, SyncedCard> state_;
    QStringList stateOrder_;  // the synced records' hrefs in the order of their records
    QHash<qint64, QString> hrefOfRec_;
    QHash<QString, GoneCard> gone_;
    QHash<qint64, SyncConflict> conflicts_;
    QHash<qint64, BookRecord> records_;
    QHash<qint64, QByteArray> digests_;
    TouchedRecords touched_;
    bool synced_ = false;  // the status table holds cards
    QSet<qint64> asked_;   // the records read, where not all were
    qint64 inBook_ = 0;    // the records in the book
    QSet<qint64> skipped_;
    QList<SyncedCard> created_;  // records made in the transaction under way, their status not yet saved  // records
                                 // this sync could not take: touched again for the next
    QList<qint64> order_;
    QHash<QString, QByteArray> listed_;
    QSet<QString> removed_;
    QHash<QString, QByteArray> listedText_;  // the cards' texts the listing gave
    QHash<QString, FetchedCard> fetched_;
    QByteArray newToken_;
    CollectionTags tags_;       // read only where the server lists no changes
    bool listsChanges_ = true;  // the server answers the sync-collection report
    bool full_ = false;
    bool listedAny_ = false;
    QList<Item> items_;
    SyncReport report_;
};

}  // namespace

QString SyncReport::summary() const
{
    return QStringLiteral("上传 %1，下载 %2，删除 %3，冲突 %4")
        .arg(uploaded)
        .arg(downloaded)
        .arg(deleted)
        .arg(conflicts);
}

SyncReport Synchronise(SyncBook& book, CardServer& server, const SyncOptions& options)
{
    return SyncRun(book, server, options).run();
}

QList<SyncConflict> ReadSyncConflicts(SyncBook& book)
{
    QList<SyncConflict> conflicts;
    for (const StoredConflict& stored : ReadConflicts(book.handle()))
        conflicts << unpackConflict(stored);
    return conflicts;
}

void ChooseSyncSide(SyncBook& book, qint64 rec, Side side, std::optional<SyncField> field)
{
    for (const StoredConflict& stored : ReadConflicts(book.handle())) {
        if (stored.rec != rec)
            continue;
        SyncConflict c = unpackConflict(stored);
        for (SyncField f : c.fields)
            if (!field || *field == f)
                c.choices.insert(f, side);
        book.transaction([&] { SaveConflict(book.handle(), {rec, packConflict(c)}); });
        return;
    }
    throw Exception(QStringLiteral("编号 %1 没有待选择的同步冲突").arg(rec));
}
