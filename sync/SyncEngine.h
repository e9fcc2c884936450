#pragma once
// One sync of the book with its address book on the server, both ways:
// list what changed on each side, decide per contact (SyncDecision.h), merge
// field by field (FieldMerge.h), write the book's side in one transaction and
// each card with the ETag it was read with, keeping the status table in step
// after every write, so a sync killed at any moment and run again makes no
// duplicate and loses nothing. The new listing token is kept only after every
// change of the listing was applied.

#include "sync/CardServer.h"
#include "sync/FieldMerge.h"
#include "sync/SyncBook.h"

#include <QHash>
#include <QStringList>
#include <exception>
#include <functional>
#include <optional>

struct SyncOptions {
    bool dryRun = false;        // say what would be done, change nothing
    bool allowDeletes = false;  // let a sync that deletes many records or cards through
    std::function<void(const QString& step, int done, int total)> progress;
    std::function<bool()> cancelled;  // asked between contacts; true stops the sync
};

struct SyncReport {
    int uploaded = 0;
    int downloaded = 0;
    int deleted = 0;
    int conflicts = 0;
    QStringList lines;  // each contact written or to be written, and each conflict
    bool stoppedForDeletes = false;
    QString deletesWarning;   // why it stopped, when it did
    QString backup;           // the copy taken before records were deleted
    bool complete = true;     // every change of the listing applied
    QString summary() const;  // 上传 N，下载 N，删除 N，冲突 N
};

// The person stopped the sync: what was written stays, both sides consistent.
class SyncCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "sync cancelled"; }
};

SyncReport Synchronise(SyncBook& book, CardServer& server, const SyncOptions& options = {});

// A record waiting for the person to pick, field by field.
struct SyncConflict {
    qint64 rec = 0;
    QList<SyncField> fields;  // the fields changed on both sides
    ContactFields book;
    ContactFields server;
    QHash<SyncField, Side> choices;  // picked so far
};

QList<SyncConflict> ReadSyncConflicts(SyncBook& book);
// Picks a side for one field of the record's conflict, or for all of them.
// Raises Exception when the record has no conflict. The next sync writes it.
void ChooseSyncSide(SyncBook& book, qint64 rec, Side side, std::optional<SyncField> field = std::nullopt);
