#include "SyncTables.h"

#include "store/SqliteHandle.h"

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
                               "delete from sync_conflict where rec = old.rowid; end;"));
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

QList<SyncedCard> ReadSyncedCards(sqlite3* db)
{
    QList<SyncedCard> cards;
    if (!HasSyncTables(db))
        return cards;
    work([&] {
        Statement st(db,
                     QStringLiteral("select rec, uid, href, etag, base, digest, fields from sync_card order by rec"));
        while (st.step())
            cards.append({st.columnInt64(0), st.columnText(1), st.columnText(2), st.columnBlob(3), st.columnBlob(4),
                          st.columnBlob(5), st.columnBlob(6)});
    });
    return cards;
}

void SaveSyncedCard(sqlite3* db, const SyncedCard& card)
{
    run(db,
        QStringLiteral("insert or replace into sync_card(rec, uid, href, etag, base, digest, fields) "
                       "values(?, ?, ?, ?, ?, ?, ?)"),
        [&](Statement& st) {
            st.bindInt64(1, card.rec);
            st.bindText(2, card.uid);
            st.bindText(3, card.href);
            st.bindBlob(4, card.etag);
            st.bindBlob(5, card.base);
            st.bindBlob(6, card.digest);
            st.bindBlob(7, card.fields);
        });
}

void ForgetSyncedCard(sqlite3* db, const QString& href)
{
    run(db, QStringLiteral("delete from sync_card where href = ?"), [&](Statement& st) { st.bindText(1, href); });
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
