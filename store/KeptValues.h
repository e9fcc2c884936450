#pragma once
// What an import keeps beside a record because neither the seven columns nor
// 备注 have room for it: the rows of the table kept (ContactSchema's
// CreateKeptKeeping) in the book's own file. The window never shows them and
// deletes them with their record through the trigger; every export gives them
// back. rem and pass stay as they are.

#include <QList>
#include <QString>

struct sqlite3;

// One row of kept, as the table holds it.
struct KeptValue {
    qint64 rec = 0;  // the record's rowid in rem
    QString label;   // as the report and 备注 name it, in Chinese: "电话", "邮箱", ...
    QString value;

    bool operator==(const KeptValue&) const = default;
};

// Creates the table, its index and the trigger unless they are there.
void EnsureKeptTable(sqlite3* db);
// Keeps the values beside their records, in order; the table must be there.
void AddKept(sqlite3* db, const QList<KeptValue>& values);
// Replaces what one record keeps by these values (of that record), the table made when missing.
void ReplaceKept(sqlite3* db, qint64 rec, const QList<KeptValue>& values);
// Hands what one record keeps to another (a merge keeps one of several records).
void MoveKept(sqlite3* db, qint64 from, qint64 to);

// Every record's kept values, by record and then in the order kept; empty when the book keeps none.
QList<KeptValue> ReadKept(sqlite3* db);
// The same for these records only, record after record as given.
QList<KeptValue> ReadKeptOf(sqlite3* db, const QList<qint64>& rowids);
// The rowids of rem in table order, to pair kept values with records read in that order.
QList<qint64> RecordRowids(sqlite3* db);
// How many kept values belong to no record of rem (0 when the book keeps none).
qint64 OrphanKeptCount(sqlite3* db);
