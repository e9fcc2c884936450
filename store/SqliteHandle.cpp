#include "SqliteHandle.h"

#include "store/StoredText.h"

#include <QFile>
#include <QFileInfo>

QString SqliteErrorText(int code, sqlite3* db)
{
    switch (code & 0xff) {
    case SQLITE_NOTADB: return QStringLiteral("不是数据库文件或密码错误");
    case SQLITE_CANTOPEN: return QStringLiteral("无法打开数据库文件");
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return QStringLiteral("数据库被其他程序锁定");
    case SQLITE_FULL: return QStringLiteral("磁盘已满");
    default: break;
    }
    if (db && sqlite3_errcode(db) == code)
        return QString::fromUtf8(sqlite3_errmsg(db));
    return QString::fromUtf8(sqlite3_errstr(code));
}

void RaiseDatabaseError(const QString& component, const QString& text)
{
    throw EDatabaseError(component + QStringLiteral(": ") + text);
}

static SqliteFailure failure(sqlite3* db, int code)
{
    return SqliteFailure{code, SqliteErrorText(code, db)};
}

Statement::Statement(sqlite3* db, const QString& sql) : db_(db)
{
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        const SqliteFailure f = failure(db, rc);
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw f;
    }
}

Statement::Statement(sqlite3* db, const QByteArray& utf8, const char** tail) : db_(db)
{
    const char* start = *tail;
    const int length = int(utf8.constData() + utf8.size() - start);
    const int rc = sqlite3_prepare_v2(db, start, length, &stmt_, tail);
    if (rc != SQLITE_OK) {
        const SqliteFailure f = failure(db, rc);
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw f;
    }
}

Statement::~Statement()
{
    sqlite3_finalize(stmt_);
}

static void check(sqlite3* db, int rc)
{
    if (rc != SQLITE_OK)
        throw failure(db, rc);
}

void Statement::bindNull(int index)
{
    check(db_, sqlite3_bind_null(stmt_, index));
}

void Statement::bindText(int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    check(db_, sqlite3_bind_text(stmt_, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT));
}

void Statement::bindBlob(int index, const QByteArray& bytes)
{
    // A zero-length photo stays an empty blob: a non-null pointer is required for that.
    static const char none = 0;
    const char* data = bytes.isEmpty() ? &none : bytes.constData();
    check(db_, sqlite3_bind_blob(stmt_, index, data, int(bytes.size()), SQLITE_TRANSIENT));
}

void Statement::bindInt64(int index, qint64 value)
{
    check(db_, sqlite3_bind_int64(stmt_, index, value));
}

void Statement::bindOptionalInt64(int index, std::optional<qint64> value)
{
    if (value)
        bindInt64(index, *value);
    else
        bindNull(index);
}

void Statement::bindValue(int index, const sqlite3_value* value)
{
    check(db_, sqlite3_bind_value(stmt_, index, value));
}

bool Statement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw failure(db_, rc);
}

void Statement::reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

QString Statement::columnText(int column) const
{
    // Read as the recordset reads a value: UTF-8 when well-formed, else GB18030.
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return DecodeStoredText(QByteArrayView(text, sqlite3_column_bytes(stmt_, column)));
}

QByteArray Statement::columnBlob(int column) const
{
    const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    return QByteArray(data, sqlite3_column_bytes(stmt_, column));
}

bool Statement::columnIsNull(int column) const
{
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

qint64 Statement::columnInt64(int column) const
{
    return sqlite3_column_int64(stmt_, column);
}

StoredValue Statement::columnValue(int column) const
{
    StoredValue copy(sqlite3_value_dup(sqlite3_column_value(stmt_, column)));
    if (!copy)
        throw SqliteFailure{SQLITE_NOMEM, SqliteErrorText(SQLITE_NOMEM, nullptr)};
    return copy;
}

void ExecuteAll(sqlite3* db, const QString& sql)
{
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = utf8.constData();
    const char* end = utf8.constData() + utf8.size();
    while (tail < end) {
        Statement statement(db, utf8, &tail);
        if (statement.empty())
            break;
        while (statement.step()) {
        }
    }
}

ReadTogether::ReadTogether(sqlite3* db) : db_(db)
{
    ExecuteAll(db_, QStringLiteral("savepoint tessaly_read"));
}

ReadTogether::~ReadTogether()
{
    // Only reads happened inside: releasing cannot fail for want of a lock.
    sqlite3_exec(db_, "release tessaly_read", nullptr, nullptr, nullptr);
}

WriteTransaction::WriteTransaction(sqlite3* db) : db_(db)
{
    ExecuteAll(db_, QStringLiteral("savepoint tessaly_write"));
}

WriteTransaction::~WriteTransaction()
{
    if (open_)
        sqlite3_exec(db_, "rollback to tessaly_write; release tessaly_write", nullptr, nullptr, nullptr);
}

void WriteTransaction::commit()
{
    ExecuteAll(db_, QStringLiteral("release tessaly_write"));
    open_ = false;
}

SqliteHandle OpenWithKey(const QString& fileName, int flags, const QString& password, int busyTimeoutMs)
{
    sqlite3* raw = nullptr;
    // A handle is only ever used by one thread at a time: no mutex around every
    // call, which cost a fifth of reading 100,000 records.
    const int rc = sqlite3_open_v2(QFile::encodeName(fileName).constData(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteHandle db(raw);
    if (rc != SQLITE_OK)
        throw SqliteFailure{rc, SqliteErrorText(rc, db.get())};
    sqlite3_busy_timeout(db.get(), busyTimeoutMs);
    const QByteArray key = password.toUtf8();
    const int keyed = key.isEmpty() ? SQLITE_OK : sqlite3_key(db.get(), key.constData(), int(key.size()));
    if (keyed != SQLITE_OK)
        throw SqliteFailure{keyed, SqliteErrorText(keyed, db.get())};
    // Pages stay decrypted in memory from one read to the next as long as no
    // other program changed the file: the count at the start and the reading
    // of the records after the login decrypt each page once, not twice.
    sqlite3_exec(db.get(), "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
    return db;
}

SqliteHandle OpenExistingWithKey(const QString& fileName, const QString& password, bool readOnly, int busyTimeoutMs)
{
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.exists() || info.isDir())
        throw SqliteFailure{SQLITE_CANTOPEN, SqliteErrorText(SQLITE_CANTOPEN, nullptr)};
    // An empty file would take any key and become a database on the first write.
    if (info.size() == 0)
        throw SqliteFailure{SQLITE_NOTADB, SqliteErrorText(SQLITE_NOTADB, nullptr)};

    // Never SQLITE_OPEN_CREATE: a missing file must not appear.
    SqliteHandle db =
        OpenWithKey(fileName, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, password, busyTimeoutMs);
    // A wrong key or a file that is no database shows only at the first read.
    Statement probe(db.get(), QStringLiteral("select count(*) from sqlite_master"));
    probe.step();
    return db;
}

bool StoresUtf8(sqlite3* db)
{
    Statement encoding(db, QStringLiteral("PRAGMA encoding"));
    return encoding.step() && encoding.columnText(0) == QLatin1String("UTF-8");
}

void KeepFewPages(sqlite3* db)
{
    sqlite3_exec(db, "PRAGMA cache_size = -2000", nullptr, nullptr, nullptr);
}

// The first column of a statement's one row.
static qint64 singleNumber(sqlite3* db, const QString& sql)
{
    Statement statement(db, sql);
    statement.step();
    return statement.columnInt64(0);
}

qint64 CountRecords(sqlite3* db, const QString& table)
{
    return singleNumber(db, QStringLiteral("select count(*) from ") + table);
}

qint64 DataVersion(sqlite3* db)
{
    return singleNumber(db, QStringLiteral("PRAGMA data_version"));
}
