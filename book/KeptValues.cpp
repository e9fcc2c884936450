#include "KeptValues.h"

#include "platform/Errors.h"
#include "platform/Trim.h"
#include "store/ColumnInfo.h"
#include "store/ContactSchema.h"
#include "store/SqliteHandle.h"

namespace {

bool hasKeptTable(sqlite3* db)
{
    Statement st(db, QStringLiteral("select 1 from sqlite_master where type = 'table' and name = 'kept'"));
    return st.step();
}

}  // namespace

void EnsureKeptTable(sqlite3* db)
{
    return DatabaseWork(QStringLiteral("通讯录"), [&] {
        ExecuteAll(db, QStringLiteral("create table if not exists kept(rec integer not null, label text not null, "
                                      "value text not null);"
                                      "create index if not exists kept_rec on kept(rec);"
                                      "create trigger if not exists kept_leaves_with_rem after delete on rem "
                                      "begin delete from kept where rec = old.rowid; end;"));
    });
}

void AddKept(sqlite3* db, qint64 rowid, const QList<DraftExtra>& values)
{
    return DatabaseWork(QStringLiteral("通讯录"), [&] {
        Statement st(db, QStringLiteral("insert into kept(rec, label, value) values(?, ?, ?)"));
        for (const DraftExtra& value : values) {
            st.bindInt64(1, rowid);
            st.bindText(2, value.label);
            st.bindText(3, value.value);
            st.step();
            st.reset();
        }
    });
}

QHash<qint64, QList<DraftExtra>> ReadKept(sqlite3* db)
{
    return DatabaseWork(QStringLiteral("通讯录"), [&] {
        QHash<qint64, QList<DraftExtra>> kept;
        if (!hasKeptTable(db))
            return kept;
        Statement st(db, QStringLiteral("select rec, label, value from kept order by rec, rowid"));
        while (st.step())
            kept[st.columnInt64(0)].append({st.columnText(1), st.columnText(2)});
        return kept;
    });
}

QList<DraftExtra> ReadKeptOf(sqlite3* db, qint64 rowid)
{
    return ReadKeptOf(db, QList<qint64>{rowid}).value(rowid);
}

QHash<qint64, QList<DraftExtra>> ReadKeptOf(sqlite3* db, const QList<qint64>& rowids)
{
    return DatabaseWork(QStringLiteral("通讯录"), [&] {
        QHash<qint64, QList<DraftExtra>> kept;
        if (!hasKeptTable(db))
            return kept;
        Statement st(db, QStringLiteral("select label, value from kept where rec = ? order by rowid"));
        for (qint64 rowid : rowids) {
            st.bindInt64(1, rowid);
            while (st.step())
                kept[rowid].append({st.columnText(0), st.columnText(1)});
            st.reset();
        }
        return kept;
    });
}

QList<qint64> RecordRowids(sqlite3* db)
{
    return DatabaseWork(QStringLiteral("通讯录"), [&] {
        QList<qint64> rowids;
        Statement st(db, QStringLiteral("select rowid from %1").arg(ContactSchema::ContactTable()));
        while (st.step())
            rowids.append(st.columnInt64(0));
        return rowids;
    });
}

qint64 OrphanKeptCount(sqlite3* db)
{
    return DatabaseWork(QStringLiteral("通讯录"), [&]() -> qint64 {
        if (!hasKeptTable(db))
            return 0;
        Statement st(db, QStringLiteral("select count(*) from kept where rec not in (select rowid from %1)")
                             .arg(ContactSchema::ContactTable()));
        return st.step() ? st.columnInt64(0) : 0;
    });
}

QList<ContactHoldings> BookHoldings(sqlite3* db)
{
    return DatabaseWork(QStringLiteral("通讯录"), [&] {
        const QHash<qint64, QList<DraftExtra>> kept = ReadKept(db);
        QStringList columns;
        for (const QString& column : ContactTextColumns())
            columns << QuoteIdentifier(column);
        Statement st(db, QStringLiteral("select rowid, %1, length(%2) from %3")
                             .arg(columns.join(u','), QuoteIdentifier(PhotoColumn()), ContactSchema::ContactTable()));
        QList<ContactHoldings> all;
        std::array<QString, ContactTextCount> texts;
        while (st.step()) {
            for (int i = 0; i < ContactTextCount; ++i)
                texts[i] = TrimControl(st.columnText(i + 1));
            all.append(HoldingsOf(texts, kept.value(st.columnInt64(0)), st.columnInt64(ContactTextCount + 1)));
        }
        return all;
    });
}
