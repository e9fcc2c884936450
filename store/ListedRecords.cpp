#include "ListedRecords.h"

#include "store/ContactSchema.h"
#include "store/SqliteHandle.h"

#include <algorithm>

void StoreListed(sqlite3* db, const QHash<qint64, QByteArray>& digests)
{
    DatabaseWork(QStringLiteral("通讯录"), [&] {
        ExecuteAll(db, QStringLiteral("begin; ") + ContactSchema::CreateListedTable()
                           + QStringLiteral(" delete from listed;"));
        try {
            // In the order of the table's key: each row lands after the one
            // before, so every page is written once, full.
            QList<qint64> records = digests.keys();
            std::sort(records.begin(), records.end());
            Statement st(db, QStringLiteral("insert into listed(rec, digest) values(?, ?)"));
            for (const qint64 record : std::as_const(records)) {
                st.bindInt64(1, record);
                st.bindText(2, QString::fromLatin1(digests.value(record)));
                st.step();
                st.reset();
            }
            ExecuteAll(db, QStringLiteral("commit;"));
        } catch (...) {
            sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
            throw;
        }
    });
}

QHash<qint64, QByteArray> ReadListed(sqlite3* db)
{
    return DatabaseWork(QStringLiteral("通讯录"), [&] {
        QHash<qint64, QByteArray> listed;
        Statement exists(db, QStringLiteral("select 1 from sqlite_master where type = 'table' and name = 'listed'"));
        if (!exists.step())
            return listed;
        Statement st(db, QStringLiteral("select rec, digest from listed"));
        while (st.step())
            listed.insert(st.columnInt64(0), st.columnText(1).toLatin1());
        return listed;
    });
}

void ForgetListed(sqlite3* db, const QList<qint64>& rowids)
{
    DatabaseWork(QStringLiteral("通讯录"), [&] {
        Statement st(db, QStringLiteral("delete from listed where rec = ?"));
        for (qint64 rowid : rowids) {
            st.bindInt64(1, rowid);
            st.step();
            st.reset();
        }
    });
}

namespace {

bool hasApartTable(sqlite3* db)
{
    Statement exists(db, QStringLiteral("select 1 from sqlite_master where type = 'table' and name = 'apart'"));
    return exists.step();
}

}  // namespace

void StoreApart(sqlite3* db, qint64 record, const QList<qint64>& others)
{
    DatabaseWork(QStringLiteral("通讯录"), [&] {
        WriteTransaction transaction(db);
        ExecuteAll(db, ContactSchema::CreateApartTable());
        Statement st(db, QStringLiteral("insert or ignore into apart(a, b) values(?, ?)"));
        for (qint64 other : others) {
            st.bindInt64(1, std::min(record, other));
            st.bindInt64(2, std::max(record, other));
            st.step();
            st.reset();
        }
        transaction.commit();
    });
}

ApartPairs ReadApart(sqlite3* db)
{
    return DatabaseWork(QStringLiteral("通讯录"), [&] {
        ApartPairs pairs;
        if (!hasApartTable(db))
            return pairs;
        Statement st(db, QStringLiteral("select a, b from apart"));
        while (st.step())
            pairs.insert({st.columnInt64(0), st.columnInt64(1)});
        return pairs;
    });
}

bool AreApart(const ApartPairs& pairs, qint64 one, qint64 other)
{
    return pairs.contains({std::min(one, other), std::max(one, other)});
}

void ForgetApart(sqlite3* db, const QList<qint64>& rowids)
{
    DatabaseWork(QStringLiteral("通讯录"), [&] {
        if (!hasApartTable(db))
            return;
        Statement st(db, QStringLiteral("delete from apart where a = ?1 or b = ?1"));
        for (qint64 rowid : rowids) {
            st.bindInt64(1, rowid);
            st.step();
            st.reset();
        }
    });
}
