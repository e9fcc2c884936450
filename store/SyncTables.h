#pragma once
// What the sync with an address-book server keeps in the book's own file,
// beside rem and pass (which stay as they are):
//   sync_setting   the server, the user, the address book, the last listing's
//                  token and tag, the last sync's time and counts;
//   sync_card      per synced record: its rowid, the card's UID and href, the
//                  ETag, the card text last agreed (the base for merging) and
//                  the record as last agreed (its digest and its fields);
//   sync_gone      a tombstone per synced record deleted in the book, left by
//                  a trigger on rem, so the window's 删除 reaches the server;
//   sync_conflict  a record whose field changed on both sides, until the
//                  person picks, with the picks made so far.
// A card whose etag is empty was sent to the server and not yet confirmed.

#include <QByteArray>
#include <QList>
#include <QString>
#include <sqlcipher/sqlite3.h>

struct SyncedCard {
    qint64 rec = 0;
    QString uid;
    QString href;
    QByteArray etag;    // empty: a new card sent but not yet confirmed
    QByteArray base;    // the card's text as the server last gave it
    QByteArray digest;  // the record's digest as last agreed
    QByteArray fields;  // the record's fields as last agreed, as the sync packs them
};

struct GoneCard {
    QString href;
    QString uid;
    QByteArray etag;
    QByteArray base;
};

struct StoredConflict {
    qint64 rec = 0;
    QByteArray data;  // what the sync needs to show and settle it, as it packs it
};

// Whether the book has been synced (the tables are there).
bool HasSyncTables(sqlite3* db);
// Creates the tables and the trigger unless they are there.
void EnsureSyncTables(sqlite3* db);

QString SyncSetting(sqlite3* db, const QString& name);
void SetSyncSetting(sqlite3* db, const QString& name, const QString& value);

QList<SyncedCard> ReadSyncedCards(sqlite3* db);
// By href: a card already there is replaced.
void SaveSyncedCard(sqlite3* db, const SyncedCard& card);
void ForgetSyncedCard(sqlite3* db, const QString& href);

QList<GoneCard> ReadGoneCards(sqlite3* db);
void ForgetGoneCard(sqlite3* db, const QString& href);

QList<StoredConflict> ReadConflicts(sqlite3* db);
void SaveConflict(sqlite3* db, const StoredConflict& conflict);
void ForgetConflict(sqlite3* db, qint64 rec);
