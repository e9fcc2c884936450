#include "SyncTables.h"

#include "store/SchemaHeld.h"
#include "store/SqliteHandle.h"

#include <QStringList>

namespace {

const QString component = QStringLiteral("通讯录");

template <class Work>
decltype(auto) work(Work&& w)
{
    return DatabaseWork(component, std::forward<Work>(w));
}

void run(sqlite3* db, const QString& sql, const std::function<void(Statement&)>& bind)
{
    work([&] {
        Statement st(db, sql);
        bind(st);
        st.step();
    });
}

// The triggers that leave a touch, as made; SQLite keeps them as written. A
// touch is deleted and made again, never replaced: "or replace" in a trigger
// makes SQLite keep a journal per statement, whose every page SQLCipher
// encrypts (three quarters of a first sync's time went there). The touch made
// again takes a new number (autoincrement: never one used before).
QStringList touchTriggers(bool withKept)
{
    const auto touch = [](const QString& name, const QString& event, const QStringList& recs) {
        QString body;
        for (const QString& rec : recs)
            body += QStringLiteral("delete from sync_touched where rec = %1; "
                                   "insert or ignore into sync_touched(rec) values(%1); ")
                        .arg(rec);
        return QStringLiteral("create trigger %1 %2 begin %3end").arg(name, event, body);
    };
    QStringList made{
        touch(QStringLiteral("sync_touch_added"), QStringLiteral("after insert on rem"), {QStringLiteral("new.rowid")}),
        touch(QStringLiteral("sync_touch_changed"), QStringLiteral("after update on rem"),
              {QStringLiteral("old.rowid"), QStringLiteral("new.rowid")}),
    };
    if (withKept)
        made << touch(QStringLiteral("sync_touch_kept_added"), QStringLiteral("after insert on kept"),
                      {QStringLiteral("new.rec")})
             << touch(QStringLiteral("sync_touch_kept_changed"), QStringLiteral("after update on kept"),
                      {QStringLiteral("old.rec"), QStringLiteral("new.rec")})
             << touch(QStringLiteral("sync_touch_kept_removed"), QStringLiteral("after delete on kept"),
                      {QStringLiteral("old.rec")});
    return made;
}

bool hasTable(sqlite3* db, const QString& name)
{
    Statement st(db, QStringLiteral("select 1 from sqlite_master where type = 'table' and name = ?"));
    st.bindText(1, name);
    return st.step();
}

}  // namespace

bool HasSyncTables(sqlite3* db)
{
    return work([&] {
        Statement st(db, QStringLiteral("select 1 from sqlite_master where type = 'table' and name = 'sync_card'"));
        return st.step();
    });
}

void EnsureSyncTables(sqlite3* db)
{
    work([&] {
        ExecuteAll(
            db, QStringLiteral("create table if not exists sync_setting(name text primary key, value text not null);"
                               "create table if not exists sync_card(rec integer not null unique, uid text not null, "
                               "href text not null primary key, etag blob not null, base blob not null, "
                               "digest blob not null, fields blob not null);"
                               "create table if not exists sync_gone(href text primary key, uid text not null, "
                               "etag blob not null, base blob not null);"
                               "create table if not exists sync_conflict(rec integer primary key, data blob not null);"
                               // The window deletes records knowing nothing of the sync: the
                               // tombstone is left here, and the conflict goes with the record.
                               "create trigger if not exists sync_leaves_tombstone after delete on rem begin "
                               "insert or replace into sync_gone(href, uid, etag, base) "
                               "select href, uid, etag, base from sync_card where rec = old.rowid and etag != x''; "
                               "delete from sync_card where rec = old.rowid; "
                               "delete from sync_conflict where rec = old.rowid; end;"
                               // A touch made after a sync read the touches has a higher
                               // number than any it read.
                               "create table if not exists sync_touched(id integer primary key autoincrement, "
                               "rec integer not null unique);"
                               "create index if not exists sync_card_without_texts on sync_card(rec, uid, href, "
                               "etag, digest);"));
        // A trigger of that name made otherwise is made again as here.
        for (const QString& trigger : touchTriggers(hasTable(db, QStringLiteral("kept")))) {
            if (HoldsAsMade(db, {trigger}))
                continue;
            ExecuteAll(db, QStringLiteral("drop trigger if exists ") + trigger.section(u' ', 2, 2));
            ExecuteAll(db, trigger);
        }
    });
}

QString SyncSetting(sqlite3* db, const QString& name)
{
    if (!HasSyncTables(db))
        return {};
    return work([&] {
        Statement st(db, QStringLiteral("select value from sync_setting where name = ?"));
        st.bindText(1, name);
        return st.step() ? st.columnText(0) : QString();
    });
}

void SetSyncSetting(sqlite3* db, const QString& name, const QString& value)
{
    run(db, QStringLiteral("insert or replace into sync_setting(name, value) values(?, ?)"), [&](Statement& st) {
        st.bindText(1, name);
        st.bindText(2, value);
    });
}

QList<SyncedCard> ReadSyncedCards(sqlite3* db, bool withTexts)
{
    QList<SyncedCard> cards;
    if (!HasSyncTables(db))
        return cards;
    work([&] {
        // Without texts from the index alone: the table's pages, most of them the
        // cards' texts, are neither read nor decrypted.
        Statement st(db, withTexts ? QStringLiteral("select rec, uid, href, etag, base, digest, fields from sync_card "
                                                    "order by rec")
                                   : QStringLiteral("select rec, uid, href, etag, x'', digest, x'' from sync_card "
                                                    "order by rec"));
        while (st.step())
            cards.append({st.columnInt64(0), st.columnText(1), st.columnText(2), st.columnBlob(3), st.columnBlob(4),
                          st.columnBlob(5), st.columnBlob(6)});
    });
    return cards;
}

void ReadSyncedTexts(sqlite3* db, QList<SyncedCard*> cards)
{
    work([&] {
        Statement st(db, QStringLiteral("select base, fields from sync_card where rec = ?"));
        for (SyncedCard* card : cards) {
            st.reset();
            st.bindInt64(1, card->rec);
            if (st.step()) {
                card->base = st.columnBlob(0);
                card->fields = st.columnBlob(1);
            }
        }
    });
}

void SaveSyncedCard(sqlite3* db, const SyncedCard& card)
{
    SaveSyncedCards(db, {card});
}

void SaveSyncedCards(sqlite3* db, const QList<SyncedCard>& cards)
{
    work([&] {
        // Deleted and inserted, not replaced: see the touches' triggers.
        Statement drop(db, QStringLiteral("delete from sync_card where href = ? or rec = ?"));
        Statement insert(db, QStringLiteral("insert into sync_card(rec, uid, href, etag, base, digest, fields) "
                                            "values(?, ?, ?, ?, ?, ?, ?)"));
        for (const SyncedCard& card : cards) {
            drop.reset();
            drop.bindText(1, card.href);
            drop.bindInt64(2, card.rec);
            drop.step();
            insert.reset();
            insert.bindInt64(1, card.rec);
            insert.bindText(2, card.uid);
            insert.bindText(3, card.href);
            insert.bindBlob(4, card.etag);
            insert.bindBlob(5, card.base);
            insert.bindBlob(6, card.digest);
            insert.bindBlob(7, card.fields);
            insert.step();
        }
    });
}

void ForgetSyncedCard(sqlite3* db, const QString& href)
{
    run(db, QStringLiteral("delete from sync_card where href = ?"), [&](Statement& st) { st.bindText(1, href); });
}

bool HasSyncedCards(sqlite3* db)
{
    if (!HasSyncTables(db))
        return false;
    return work([&] { return Statement(db, QStringLiteral("select 1 from sync_card limit 1")).step(); });
}

bool SyncWaits(sqlite3* db)
{
    if (!HasSyncTables(db))
        return false;
    return work([&] {
        Statement st(db, QStringLiteral("select exists(select 1 from sync_gone) or exists(select 1 from sync_conflict) "
                                        "or exists(select 1 from sync_card where etag = x'')"));
        st.step();
        return st.columnInt64(0) != 0;
    });
}

QList<GoneCard> ReadGoneCards(sqlite3* db)
{
    QList<GoneCard> gone;
    if (!HasSyncTables(db))
        return gone;
    work([&] {
        Statement st(db, QStringLiteral("select href, uid, etag, base from sync_gone order by href"));
        while (st.step())
            gone.append({st.columnText(0), st.columnText(1), st.columnBlob(2), st.columnBlob(3)});
    });
    return gone;
}

void ForgetGoneCard(sqlite3* db, const QString& href)
{
    run(db, QStringLiteral("delete from sync_gone where href = ?"), [&](Statement& st) { st.bindText(1, href); });
}

QList<StoredConflict> ReadConflicts(sqlite3* db)
{
    QList<StoredConflict> conflicts;
    if (!HasSyncTables(db))
        return conflicts;
    work([&] {
        Statement st(db, QStringLiteral("select rec, data from sync_conflict order by rec"));
        while (st.step())
            conflicts.append({st.columnInt64(0), st.columnBlob(1)});
    });
    return conflicts;
}

void SaveConflict(sqlite3* db, const StoredConflict& conflict)
{
    run(db, QStringLiteral("insert or replace into sync_conflict(rec, data) values(?, ?)"), [&](Statement& st) {
        st.bindInt64(1, conflict.rec);
        st.bindBlob(2, conflict.data);
    });
}

void ForgetConflict(sqlite3* db, qint64 rec)
{
    run(db, QStringLiteral("delete from sync_conflict where rec = ?"), [&](Statement& st) { st.bindInt64(1, rec); });
}

TouchedRecords ReadTouchedRecords(sqlite3* db)
{
    return work([&] {
        TouchedRecords touched;
        if (!hasTable(db, QStringLiteral("sync_touched")))
            return touched;
        touched.trusted = HoldsAsMade(db, touchTriggers(hasTable(db, QStringLiteral("kept"))));
        Statement st(db, QStringLiteral("select id, rec from sync_touched order by rec"));
        while (st.step()) {
            touched.upTo = std::max(touched.upTo, st.columnInt64(0));
            touched.recs << st.columnInt64(1);
        }
        return touched;
    });
}

void ForgetTouchesUpTo(sqlite3* db, qint64 upTo)
{
    run(db, QStringLiteral("delete from sync_touched where id <= ?"), [&](Statement& st) { st.bindInt64(1, upTo); });
}

void ForgetTouchedRecord(sqlite3* db, qint64 rec)
{
    ForgetTouchesOf(db, {rec});
}

void ForgetTouchesOf(sqlite3* db, const QList<qint64>& recs)
{
    work([&] {
        Statement st(db, QStringLiteral("delete from sync_touched where rec = ?"));
        for (qint64 rec : recs) {
            st.reset();
            st.bindInt64(1, rec);
            st.step();
        }
    });
}

void TouchRecord(sqlite3* db, qint64 rec)
{
    ForgetTouchedRecord(db, rec);
    run(db, QStringLiteral("insert into sync_touched(rec) values(?)"), [&](Statement& st) { st.bindInt64(1, rec); });
}
