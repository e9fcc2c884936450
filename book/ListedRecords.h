#pragma once
// What duplicates listed, so merge can tell a record that changed or went
// since: a digest of each listed record's texts, photo and kept values, in
// the table listed(rec, digest) of the book's own file. Each listing replaces
// the last one; merge takes only records whose digest still matches.

#include "exchange/ContactDraft.h"

#include <sqlcipher/sqlite3.h>

#include <QByteArray>
#include <QHash>

QByteArray RecordDigest(const StoredContact& record);

// Replaces what was listed by these records (rowid -> digest), in one transaction.
void StoreListed(sqlite3* db, const QHash<qint64, QByteArray>& digests);
// The digests listed last; empty when nothing was.
QHash<qint64, QByteArray> ReadListed(sqlite3* db);
// Forgets the records (after a merge changed or deleted them).
void ForgetListed(sqlite3* db, const QList<qint64>& rowids);
