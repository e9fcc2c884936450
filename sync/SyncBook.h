#pragma once
// The book as the sync sees it: records by their rowid, written in
// transactions on the book's one connection, which also holds the sync's
// status tables (store/SyncTables.h). tessaly-book gives the real book.

#include "exchange/ContactDraft.h"
#include "exchange/ContactFitting.h"

#include <QHash>
#include <QList>
#include <functional>
#include <sqlcipher/sqlite3.h>

struct BookRecord {
    qint64 rec = 0;
    StoredContact contact;  // the photo's bytes left out
    QByteArray photoDigest;
};

class SyncBook {
public:
    virtual ~SyncBook() = default;
    virtual sqlite3* handle() = 0;
    virtual ColumnWidths widths() = 0;
    // Every record, in table order, photos as digests.
    virtual QList<BookRecord> records() = 0;
    // Those of the records still there, in the order asked.
    virtual QList<BookRecord> records(const QList<qint64>& recs) = 0;
    // How many records there are, without reading them where the book keeps the number.
    virtual qint64 count() = 0;
    // One record with its photo's bytes; nothing when it is gone.
    virtual std::optional<StoredContact> record(qint64 rec) = 0;
    // Each raises EDatabaseError; inside a transaction only.
    virtual qint64 add(const StoredContact& contact) = 0;
    virtual void update(qint64 rec, const StoredContact& before, const StoredContact& after) = 0;
    virtual void remove(qint64 rec) = 0;
    // All of the work or none of it.
    virtual void transaction(const std::function<void()>& work) = 0;
    // A checked copy of the book, before a sync deletes records; answers the copy's path.
    virtual QString backup() = 0;
};
