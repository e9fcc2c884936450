#pragma once
// The book open in tessaly-book as the sync sees it (sync/SyncBook.h): its
// records read and written through the same engine and statements as an
// import and a merge, the status tables on the same connection.

#include "book/BookFile.h"
#include "book/BookWrite.h"
#include "sync/SyncBook.h"

class SyncBookFile : public SyncBook {
public:
    // The connection is open on the book at path (OpenBookConnection): no
    // record is read before the sync asks for it.
    SyncBookFile(TADOConnection& connection, QString path);

    sqlite3* handle() override;
    ColumnWidths widths() override;
    QList<BookRecord> records() override;
    QList<BookRecord> records(const QList<qint64>& recs) override;
    qint64 count() override;
    std::optional<StoredContact> record(qint64 rec) override;
    qint64 add(const StoredContact& contact) override;
    void update(qint64 rec, const StoredContact& before, const StoredContact& after) override;
    void remove(qint64 rec) override;
    void transaction(const std::function<void()>& work) override;
    QString backup() override;

private:
    TADOConnection& connection_;
    QString path_;
    RecordAdding adding_;
};
