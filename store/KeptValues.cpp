#include "KeptValues.h"

#include "store/ContactSchema.h"
#include "store/SqliteHandle.h"

namespace {

const QString component = QStringLiteral("通讯录");

bool hasKeptTable(sqlite3* db)
{
    Statement st(db, QStringLiteral("select 1 from sqlite_master where type = 'table' and name = 'kept'"));
    return st.step();
}

}  // namespace

void EnsureKeptTable(sqlite3* db)
{
    DatabaseWork(component, [&] { ExecuteAll(db, ContactSchema::CreateKeptKeeping()); });
}

void AddKept(sqlite3* db, const QList<KeptValue>& values)
{
    DatabaseWork(component, [&] {
        Statement st(db, QStringLiteral("insert into kept(rec, label, value) values(?, ?, ?)"));
        for (const KeptValue& value : values) {
            st.bindInt64(1, value.rec);
            st.bindText(2, value.label);
            st.bindText(3, value.value);
            st.step();
            st.reset();
        }
    });
}

void ReplaceKept(sqlite3* db, qint64 rec, const QList<KeptValue>& values)
{
    EnsureKeptTable(db);
    DatabaseWork(component, [&] {
        Statement drop(db, QStringLiteral("delete from kept where rec = ?"));
        drop.bindInt64(1, rec);
        drop.step();
    });
    AddKept(db, values);
}

void MoveKept(sqlite3* db, qint64 from, qint64 to)
{
    DatabaseWork(component, [&] {
        Statement st(db, QStringLiteral("update kept set rec = ? where rec = ?"));
        st.bindInt64(1, to);
        st.bindInt64(2, from);
        st.step();
    });
}

QList<KeptValue> ReadKept(sqlite3* db)
{
    return DatabaseWork(component, [&] {
        QList<KeptValue> kept;
        if (!hasKeptTable(db))
            return kept;
        Statement st(db, QStringLiteral("select rec, label, value from kept order by rec, rowid"));
        while (st.step())
            kept.append({st.columnInt64(0), st.columnText(1), st.columnText(2)});
        return kept;
    });
}

QList<KeptValue> ReadKeptOf(sqlite3* db, const QList<qint64>& rowids)
{
    return DatabaseWork(component, [&] {
        QList<KeptValue> kept;
        if (!hasKeptTable(db))
            return kept;
        Statement st(db, QStringLiteral("select label, value from kept where rec = ? order by rowid"));
        for (qint64 rowid : rowids) {
            st.bindInt64(1, rowid);
            while (st.step())
                kept.append({rowid, st.columnText(0), st.columnText(1)});
            st.reset();
        }
        return kept;
    });
}

QList<qint64> RecordRowids(sqlite3* db)
{
    return DatabaseWork(component, [&] {
        QList<qint64> rowids;
        Statement st(db, QStringLiteral("select rowid from %1").arg(ContactSchema::ContactTable()));
        while (st.step())
            rowids.append(st.columnInt64(0));
        return rowids;
    });
}

qint64 OrphanKeptCount(sqlite3* db)
{
    return DatabaseWork(component, [&]() -> qint64 {
        if (!hasKeptTable(db))
            return 0;
        Statement st(db, QStringLiteral("select count(*) from kept where rec not in (select rowid from %1)")
                             .arg(ContactSchema::ContactTable()));
        return st.step() ? st.columnInt64(0) : 0;
    });
}
