#pragma once
// What an import keeps beside a record because neither the seven columns nor
// 备注 have room for it: the table kept(rec, label, value) in the book's own
// file, rec being the record's rowid in rem. A trigger on rem deletes a
// record's kept values with the record, so the window's 删除 removes them
// without knowing of them; the window never shows them; every export gives
// them back. The table and its trigger are made by the first import that
// keeps something; rem and pass stay as they are.

#include "exchange/ContactDraft.h"
#include "exchange/ContactIdentity.h"

#include <sqlcipher/sqlite3.h>

#include <QHash>
#include <QList>

// Creates the table, its index and the trigger unless they are there.
void EnsureKeptTable(sqlite3* db);
// Keeps the values beside the record with that rowid, in order.
void AddKept(sqlite3* db, qint64 rowid, const QList<DraftExtra>& values);
// Every record's kept values by rowid, in the order kept; empty when the book has none.
QHash<qint64, QList<DraftExtra>> ReadKept(sqlite3* db);
// One record's kept values, in the order kept.
QList<DraftExtra> ReadKeptOf(sqlite3* db, qint64 rowid);
// The same for several records at once; a record without kept values is not in it.
QHash<qint64, QList<DraftExtra>> ReadKeptOf(sqlite3* db, const QList<qint64>& rowids);
// The rowids of rem in table order.
QList<qint64> RecordRowids(sqlite3* db);
// How many kept values belong to no record of rem (0 when the book keeps none).
qint64 OrphanKeptCount(sqlite3* db);
// What every record holds, in table order, for telling whether a card is new.
QList<ContactHoldings> BookHoldings(sqlite3* db);
