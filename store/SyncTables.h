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
//                  person picks, with the picks made so far;
//   sync_touched   the records added or changed (in rem or in kept) since the
//                  sync last looked, left by triggers, so a sync with nothing
//                  to do reads no record at all.
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
// Creates the tables and the triggers unless they are there (kept's triggers
// only once kept is there).
void EnsureSyncTables(sqlite3* db);

QString SyncSetting(sqlite3* db, const QString& name);
void SetSyncSetting(sqlite3* db, const QString& name, const QString& value);

// Without texts: base and fields left empty, for a sync that reads them only
// for the few cards it works on (ReadSyncedTexts).
QList<SyncedCard> ReadSyncedCards(sqlite3* db, bool withTexts = true);
// The base and fields of the cards of those records.
void ReadSyncedTexts(sqlite3* db, QList<SyncedCard*> cards);
// By href: a card already there is replaced (as is one of the same record).
void SaveSyncedCard(sqlite3* db, const SyncedCard& card);
void SaveSyncedCards(sqlite3* db, const QList<SyncedCard>& cards);
void ForgetSyncedCard(sqlite3* db, const QString& href);

// Whether the status table holds any card; whether anything waits for the
// next sync besides the touches and the server's changes: a tombstone, a
// conflict, a card sent and not yet confirmed.
bool HasSyncedCards(sqlite3* db);
bool SyncWaits(sqlite3* db);

QList<GoneCard> ReadGoneCards(sqlite3* db);
void ForgetGoneCard(sqlite3* db, const QString& href);

QList<StoredConflict> ReadConflicts(sqlite3* db);
void SaveConflict(sqlite3* db, const StoredConflict& conflict);
void ForgetConflict(sqlite3* db, qint64 rec);

// The records touched since the sync last looked; each touch has a number,
// later touches higher ones.
struct TouchedRecords {
    // False when the book does not keep them as made here (the triggers are
    // missing or were changed, kept was made after them): every record must be read.
    bool trusted = false;
    qint64 upTo = 0;     // the highest number read
    QList<qint64> recs;  // in rowid order
};
TouchedRecords ReadTouchedRecords(sqlite3* db);
// Forgets the touches up to upTo: a record touched since keeps its touch.
void ForgetTouchesUpTo(sqlite3* db, qint64 upTo);
// Forgets one record's touch (the sync's own write) or leaves one (a record
// the sync could not take this time).
void ForgetTouchedRecord(sqlite3* db, qint64 rec);
void ForgetTouchesOf(sqlite3* db, const QList<qint64>& recs);
void TouchRecord(sqlite3* db, qint64 rec);
