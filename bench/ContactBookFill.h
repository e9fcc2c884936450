#pragma once
// Contact books for the benchmarks: a file keyed and laid out as the program
// makes it, filled with synthetic contacts in one transaction.

#include "store/ADODB.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "store/SqliteHandle.h"

#include <sqlcipher/sqlite3.h>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <array>
#include <stdexcept>

// count contacts; every third carries a photo of photoBytes bytes (none when 0).
inline void FillContacts(sqlite3* db, int count, int photoBytes)
{
    const QString surnames[] = {"王", "李", "张", "刘", "陈", "杨", "赵", "黄"};
    const QString categories[] = {"朋友", "同事", "同学", "客户"};
    const QByteArray photo(photoBytes, 'j');
    sqlite3_exec(db, "begin", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "insert into rem values(?,?,?,?,?,?,?,?)", -1, &st, nullptr);
    for (int i = 0; i < count; ++i) {
        const QByteArray values[] = {categories[i % 4].toUtf8(),
                                     (surnames[i % 8] + QString::number(i % 9973)).toUtf8(),
                                     QByteArray("1990-01-01"),
                                     QByteArray::number(13800000000LL + i),
                                     QByteArray::number(100000 + i),
                                     QStringLiteral("北京市海淀区%1号").arg(i).toUtf8(),
                                     QByteArray("备注")};
        for (int c = 0; c < 7; ++c)
            sqlite3_bind_text(st, c + 1, values[c].constData(), int(values[c].size()), SQLITE_TRANSIENT);
        if (i % 3 == 0 && photoBytes > 0)
            sqlite3_bind_blob(st, 8, photo.constData(), int(photo.size()), SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(st, 8);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    if (sqlite3_exec(db, "commit", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot fill the contact book");
}

// A new book file with both tables and count contacts; the login window stores
// the factory password at its first start.
inline void MakeContactBook(const QString& path, int count, int photoBytes)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        throw std::runtime_error("cannot create the contact book");
    const QByteArray key = ContactSchema::DatabasePassword().toUtf8();
    sqlite3_key(db, key.constData(), int(key.size()));
    const QByteArray tables =
        (ContactSchema::CreateContactTable() + u';' + ContactSchema::CreatePasswordTable()).toUtf8();
    if (sqlite3_exec(db, tables.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot create the tables");
    FillContacts(db, count, photoBytes);
    sqlite3_close(db);
}

// A new, empty book made as the program makes it, open in connection and query.
inline void OpenNewBook(TADOConnection& connection, TADOQuery& query, const QString& path)
{
    query.Connection = &connection;
    CreateJetDatabase(path, ContactSchema::DatabasePassword());
    OpenJetDatabase(connection, path, ContactSchema::DatabasePassword());
    RunSqlScript(query, {ContactSchema::CreateContactTable()});
}

// The book a benchmark of whole processes runs on, made and filled by fill(db): the
// file $BENCH_BOOK names (kept after the run), else Kalvo.mdb in dir. Its path.
template <class Fill>
QString MakeBenchBook(const QTemporaryDir& dir, Fill&& fill)
{
    const QString path =
        qEnvironmentVariableIsSet("BENCH_BOOK") ? qEnvironmentVariable("BENCH_BOOK") : dir.filePath("Kalvo.mdb");
    TADOConnection connection;
    TADOQuery query;
    OpenNewBook(connection, query, path);
    fill(connection.Handle());
    return path;
}

// count contacts without photos, the rows people time the start-up with by hand
// through the sqlcipher shell: the i-th (from 1) is '朋友', '张'||i, '1990-01-01',
// '138'||i, ''||i, '北京市海淀区'||i, '备注'||i.
inline void FillPeopleRows(sqlite3* db, int count)
{
    ExecuteAll(db, QStringLiteral("begin; with recursive c(i) as (select 1 union all select i + 1 from c where i < %1) "
                                  "insert into rem select '朋友', '张' || i, '1990-01-01', '138' || i, '' || i, "
                                  "'北京市海淀区' || i, '备注' || i, null from c; commit")
                       .arg(count));
}

// count contacts without photos in one transaction: the seven texts of the i-th are row(i).
template <class Row>
void InsertContacts(sqlite3* db, int count, Row&& row)
{
    ExecuteAll(db, QStringLiteral("begin"));
    Statement insert(db, QStringLiteral("insert into rem values(?,?,?,?,?,?,?,null)"));
    for (int i = 0; i < count; ++i) {
        const std::array<QString, 7> values = row(i);
        for (int c = 0; c < 7; ++c)
            insert.bindText(c + 1, values[c]);
        insert.step();
        insert.reset();
    }
    ExecuteAll(db, QStringLiteral("commit"));
}
