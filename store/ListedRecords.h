#pragma once
// What duplicates listed, so merge can tell a record that changed or went
// since: a digest of each listed record (its texts, photo and kept values, as
// the duplicates make it), in the table listed(rec, digest) of the book's own
// file (ContactSchema's CreateListedTable). Each listing replaces the last
// one; merge takes only records whose digest still matches.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <utility>

struct sqlite3;

// Replaces what was listed by these records (rowid -> digest), in one transaction.
void StoreListed(sqlite3* db, const QHash<qint64, QByteArray>& digests);
// The digests listed last; empty when nothing was.
QHash<qint64, QByteArray> ReadListed(sqlite3* db);
// Forgets the records (after a merge changed or deleted them).
void ForgetListed(sqlite3* db, const QList<qint64>& rowids);

// The records the person took out of a group (移出本组) as not the same
// person as the others, remembered beside listed in apart(a, b), a pair a
// row, the smaller rowid first, so that a later listing leaves them apart
// (ContactSchema's CreateApartTable).
using ApartPairs = QSet<std::pair<qint64, qint64>>;
void StoreApart(sqlite3* db, qint64 record, const QList<qint64>& others);
// Every pair; empty when none was ever taken apart.
ApartPairs ReadApart(sqlite3* db);
bool AreApart(const ApartPairs& pairs, qint64 one, qint64 other);
// Forgets the records' pairs (a merge deleted them; their rowids may come back).
void ForgetApart(sqlite3* db, const QList<qint64>& rowids);
