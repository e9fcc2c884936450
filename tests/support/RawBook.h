#pragma once
// The book as another tool writes it: plain SQLCipher calls with the key, each
// value bound with the type and the bytes that tool chose, and the file read
// back the same way, independent of the engine under test. Header only: the
// tests that use it reach SQLCipher through the store library.

#include <sqlcipher/sqlite3.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTest>
#include <stdexcept>
#include <vector>

// One value as a tool binds it.
struct RawValue {
    int type = SQLITE_NULL;
    QByteArray bytes;
    qint64 integer = 0;
    double real = 0;

    static RawValue null() { return {}; }
    static RawValue text(const QByteArray& bytes) { return {SQLITE_TEXT, bytes}; }
    static RawValue utf8(const QString& text) { return {SQLITE_TEXT, text.toUtf8()}; }
    static RawValue blob(const QByteArray& bytes) { return {SQLITE_BLOB, bytes}; }
    static RawValue number(qint64 value) { return {SQLITE_INTEGER, {}, value}; }
    static RawValue decimal(double value) { return {SQLITE_FLOAT, {}, 0, value}; }
};

class RawBook {
public:
    explicit RawBook(const QString& path, const QByteArray& key = "tavmeri")
    {
        if (sqlite3_open_v2(path.toLocal8Bit().constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK
            || sqlite3_key(db_, key.constData(), int(key.size())) != SQLITE_OK)
            throw std::runtime_error("cannot open the book");
        sqlite3_busy_timeout(db_, 5000);
    }
    ~RawBook() { sqlite3_close_v2(db_); }
    RawBook(const RawBook&) = delete;
    RawBook& operator=(const RawBook&) = delete;

    void execute(const char* sql)
    {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
            const std::string text = message ? message : "?";
            sqlite3_free(message);
            throw std::runtime_error(text);
        }
    }

    // Inserts one record into a table, the values bound to its first columns in order.
    qint64 insert(const std::vector<RawValue>& values, const QString& table = QStringLiteral("rem"))
    {
        QStringList names = texts(QStringLiteral("pragma table_info(\"%1\")").arg(table), 1);
        names = names.mid(0, qsizetype(values.size()));
        QStringList marks;
        for (QString& name : names) {
            name = u'"' + name + u'"';
            marks << QStringLiteral("?");
        }
        const QByteArray sql =
            QStringLiteral("insert into %1(%2) values(%3)").arg(table, names.join(u','), marks.join(u',')).toUtf8();
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.constData(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_));
        for (size_t i = 0; i < values.size(); ++i) {
            const RawValue& v = values[i];
            const int at = int(i) + 1;
            if (v.type == SQLITE_TEXT)
                sqlite3_bind_text(st, at, v.bytes.constData(), int(v.bytes.size()), SQLITE_TRANSIENT);
            else if (v.type == SQLITE_BLOB)
                sqlite3_bind_blob(st, at, v.bytes.constData(), int(v.bytes.size()), SQLITE_TRANSIENT);
            else if (v.type == SQLITE_INTEGER)
                sqlite3_bind_int64(st, at, v.integer);
            else if (v.type == SQLITE_FLOAT)
                sqlite3_bind_double(st, at, v.real);
        }
        const int rc = sqlite3_step(st);
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(db_));
        return sqlite3_last_insert_rowid(db_);
    }

    // Every value of one column, in rowid order, as "type:HEX" ("null:" for null).
    QStringList stored(const QString& column, const QString& table = QStringLiteral("rem"))
    {
        return texts(QStringLiteral("select typeof(\"%1\") || ':' || ifnull(hex(\"%1\"), '') from %2 order by rowid")
                         .arg(column, table));
    }

    // One column (the first unless told) of every row of a statement, as UTF-8 text.
    QStringList texts(const QString& select, int column = 0)
    {
        const QByteArray sql = select.toUtf8();
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.constData(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db_));
        QStringList out;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, column)));
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(db_));
        return out;
    }

    QString integrityCheck() { return texts(QStringLiteral("pragma integrity_check")).join(u'\n'); }

private:
    sqlite3* db_ = nullptr;
};

// "text:" or "blob:" and the hex of bytes, as RawBook::stored shows a value.
inline QString StoredAs(const char* type, const QByteArray& bytes)
{
    return QString::fromLatin1(type) + u':' + QString::fromLatin1(bytes.toHex().toUpper());
}
