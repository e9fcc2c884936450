#pragma once
// Owning wrappers for SQLCipher handles and the texts of its failures.

#include "platform/Errors.h"

#include <sqlcipher/sqlite3.h>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>
#include <optional>
#include <utility>

struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using SqliteHandle = std::unique_ptr<sqlite3, SqliteCloser>;

struct SqliteValueFree {
    void operator()(sqlite3_value* value) const { sqlite3_value_free(value); }
};
// A copy of one stored value, kept with its type and bytes exactly as stored.
using StoredValue = std::unique_ptr<sqlite3_value, SqliteValueFree>;

// The text shown for a failure: Chinese for the codes a user meets, SQLite's own otherwise.
QString SqliteErrorText(int code, sqlite3* db);

// A failed SQLite call, carrying the code so callers can tell a stale write from a broken disk.
class SqliteFailure : public Exception {
public:
    SqliteFailure(int failureCode, QString text) : Exception(std::move(text)), code(failureCode) {}
    int code;
};

// The one place SQLite's failures become the program's errors: work runs, and
// a SqliteFailure in it is handed (its text) to raise, which throws the error
// the caller reports.
template <class Raise, class Work>
decltype(auto) RaisingSqliteAs(Raise&& raise, Work&& work)
{
    try {
        return std::forward<Work>(work)();
    } catch (const SqliteFailure& f) {
        raise(f.Message);
        throw;  // raise always throws; a careless one still loses nothing
    }
}

// A data component's error, named as the component names itself:
// EDatabaseError "ADOQuery1: 数据集是只读的".
[[noreturn]] void RaiseDatabaseError(const QString& component, const QString& text);

// Runs work; a SQLite failure in it comes out as the component's EDatabaseError.
template <class Work>
decltype(auto) DatabaseWork(const QString& component, Work&& work)
{
    return RaisingSqliteAs([&](const QString& text) { RaiseDatabaseError(component, text); }, std::forward<Work>(work));
}

// One prepared statement; finalized when it goes out of scope.
class Statement {
public:
    // Prepares the first statement of sql; raises SqliteFailure when it does not compile.
    Statement(sqlite3* db, const QString& sql);
    Statement(sqlite3* db, const QByteArray& utf8, const char** tail);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return stmt_; }
    bool empty() const { return stmt_ == nullptr; }  // only blanks or comments were given

    void bindNull(int index);
    void bindText(int index, const QString& text);
    void bindBlob(int index, const QByteArray& bytes);
    void bindInt64(int index, qint64 value);
    void bindOptionalInt64(int index, std::optional<qint64> value);
    void bindValue(int index, const sqlite3_value* value);

    // True while a row is ready; raises SqliteFailure on an error.
    bool step();
    void reset();

    QString columnText(int column) const;
    QByteArray columnBlob(int column) const;
    bool columnIsNull(int column) const;
    qint64 columnInt64(int column) const;
    // A copy of the value as stored; take it before reading the column as text,
    // which may convert a number in place.
    StoredValue columnValue(int column) const;

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

// How long a statement waits for another copy of the program that holds the file.
constexpr int BusyTimeoutMs = 5000;

// Opens a file with the given flags, sets the busy timeout (so even the first
// read, the key check, waits for a copy that is writing) and the key (none for
// an empty password: the file is then a plain, unencrypted database). A wrong
// key shows only at the first read. Raises SqliteFailure.
SqliteHandle OpenWithKey(const QString& fileName, int flags, const QString& password,
                         int busyTimeoutMs = BusyTimeoutMs);

// Opens a database file that exists (never creating one) with its key, and
// proves the key by a first read, waiting at most busyTimeoutMs for a copy
// that is writing; raises SqliteFailure. A failed open leaves the file exactly
// as it was.
SqliteHandle OpenExistingWithKey(const QString& fileName, const QString& password, bool readOnly,
                                 int busyTimeoutMs = BusyTimeoutMs);

// Whether the book stores its texts as UTF-8, as every book is made (SQLite
// can also be told UTF-16 when a file is created).
bool StoresUtf8(sqlite3* db);

// The current row's value in column as text bytes: no data for a null, nor
// for an empty value. In a UTF-8 book (inPlace) a text's bytes are read where
// SQLite holds them: sqlite3_column_text would first copy each one to end it
// with a zero, and a book has hundreds of thousands of values. Any other value
// reads as sqlite3_column_text gives it.
inline QByteArrayView ColumnTextBytes(sqlite3_stmt* row, int column, bool inPlace)
{
    const void* bytes = inPlace ? sqlite3_column_blob(row, column) : sqlite3_column_text(row, column);
    return bytes ? QByteArrayView(static_cast<const char*>(bytes), sqlite3_column_bytes(row, column))
                 : QByteArrayView();
}
// The same for a value handed to an SQL function.
inline QByteArrayView ValueTextBytes(sqlite3_value* value, bool inPlace)
{
    const void* bytes = inPlace ? sqlite3_value_blob(value) : sqlite3_value_text(value);
    return bytes ? QByteArrayView(static_cast<const char*>(bytes), sqlite3_value_bytes(value)) : QByteArrayView();
}

// For a connection opened to read each page once (one pass over a table):
// SQLite's small default cache, whose memory is used again page after page,
// instead of keeping every page decrypted, each in fresh memory the system
// must hand over first.
void KeepFewPages(sqlite3* db);

// The number of records in a table.
qint64 CountRecords(sqlite3* db, const QString& table);

// SQLite's data_version: it changes when another connection has changed the
// file since this connection last read it. Raises SqliteFailure.
qint64 DataVersion(sqlite3* db);

// Runs every statement of sql in turn; raises SqliteFailure at the first that fails.
void ExecuteAll(sqlite3* db, const QString& sql);

// Many reads as one: a single read transaction (one lock taken, one look at
// whether the file changed) instead of one for every statement, and every read
// sees the same book. A savepoint, so it also works inside a transaction.
class ReadTogether {
public:
    explicit ReadTogether(sqlite3* db);
    ~ReadTogether();
    ReadTogether(const ReadTogether&) = delete;
    ReadTogether& operator=(const ReadTogether&) = delete;

private:
    sqlite3* db_;
};

// One write and the reading back of its result, kept or undone together.
// A savepoint, so it also works inside a transaction someone else began.
class WriteTransaction {
public:
    explicit WriteTransaction(sqlite3* db);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;
    void commit();

private:
    sqlite3* db_;
    bool open_ = true;
};
