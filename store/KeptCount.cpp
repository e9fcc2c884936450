#include "KeptCount.h"

#include "store/ContactSchema.h"
#include "store/SchemaHeld.h"
#include "store/SqliteHandle.h"

namespace {

// Sets the busy timeout for as long as it lives: a write that must never make the window wait.
class BusyTimeout {
public:
    BusyTimeout(sqlite3* db, int ms) : db_(db) { sqlite3_busy_timeout(db_, ms); }
    ~BusyTimeout() { sqlite3_busy_timeout(db_, BusyTimeoutMs); }
    BusyTimeout(const BusyTimeout&) = delete;
    BusyTimeout& operator=(const BusyTimeout&) = delete;

private:
    sqlite3* db_;
};

void rebuildKeeping(sqlite3* db, qint64 counted)
{
    ExecuteAll(db, QStringLiteral("drop trigger if exists remcount_insert; drop trigger if exists remcount_delete; "
                                  "drop table if exists remcount"));
    for (const QString& statement : ContactSchema::CreateCountKeeping())
        ExecuteAll(db, statement);
    Statement insert(db, QStringLiteral("insert into remcount(n) values(?)"));
    insert.bindInt64(1, counted);
    insert.step();
}

}  // namespace

std::optional<qint64> KeptContactCount(sqlite3* db)
{
    // A book cut short (a copy that stopped half-way) fails here, as the count
    // of every record would have: the book's pages as its header counts them
    // must all be in the file.
    Statement(db, QStringLiteral("pragma page_count")).step();
    if (!HoldsAsMade(db, ContactSchema::CreateCountKeeping()))
        return std::nullopt;
    Statement kept(db, QStringLiteral("select n, typeof(n) from remcount limit 2"));
    if (!kept.step() || kept.columnText(1) != QLatin1String("integer"))
        return std::nullopt;
    const qint64 count = kept.columnInt64(0);
    if (kept.step() || count < 0)
        return std::nullopt;
    return count;
}

qint64 CountForOpening(sqlite3* db, const QString& table)
{
    if (table == ContactSchema::ContactTable()) {
        if (const std::optional<qint64> kept = KeptContactCount(db))
            return *kept;
    }
    return CountRecords(db, table);
}

ContactCountCheck::ContactCountCheck(sqlite3* db) noexcept : db_(db)
{
    try {
        version_ = DataVersion(db);
    } catch (const SqliteFailure&) {
        // Then nothing tells whether the book changed during the read: it is left as it is.
    }
}

bool ContactCountCheck::Keep(qint64 counted)
{
    try {
        const std::optional<qint64> kept = KeptContactCount(db_);
        // Another copy's write since the opening may have come after the read: the count would be wrong.
        if (!version_ || kept == counted || sqlite3_get_autocommit(db_) == 0 || DataVersion(db_) != *version_)
            return false;
        const BusyTimeout noWait(db_, 0);
        try {
            ExecuteAll(db_, QStringLiteral("begin immediate"));
            if (DataVersion(db_) == *version_)
                rebuildKeeping(db_, counted);
            ExecuteAll(db_, QStringLiteral("commit"));
        } catch (const SqliteFailure&) {
            // Busy, or the disk refused: nothing of it stays; the next login tries again.
            if (sqlite3_get_autocommit(db_) == 0)
                sqlite3_exec(db_, "rollback", nullptr, nullptr, nullptr);
        }
        return kept.has_value();
    } catch (const SqliteFailure&) {
        // A book that cannot be read now is counted at each start, as before.
        return false;
    }
}
