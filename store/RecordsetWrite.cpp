// Writing records back. Each write is one statement keyed by the record's
// rowid and by the values it had when read, so a record that another copy of
// the program changed, removed or replaced is never overwritten. A failed
// write cancels the edit: the record stays as stored.

#include "store/RecordsetImpl.h"
#include "store/SqliteHandle.h"

namespace {

// " and c IS ?" for every column, comparing a photo by its length only.
QString matchesStored(const std::vector<ColumnInfo>& columns)
{
    QString where = QStringLiteral(" where rowid = ?");
    for (const ColumnInfo& column : columns) {
        const QString quoted = QuoteIdentifier(column.name);
        where += QStringLiteral(" and ") + (column.blob ? QStringLiteral("length(%1)").arg(quoted) : quoted)
                 + QStringLiteral(" is ?");
    }
    return where;
}

void bindStored(Statement& st, int first, const Record& stored, const std::vector<ColumnInfo>& columns)
{
    st.bindInt64(first, stored.rowid);
    for (size_t i = 0; i < columns.size(); ++i) {
        const int column = int(i);
        const int index = first + 1 + column;
        if (stored.isNull(column))
            st.bindNull(index);
        else if (const sqlite3_value* foreign = stored.foreignValue(column))
            st.bindValue(index, foreign);
        else if (columns[i].blob)
            st.bindInt64(index, stored.blobLength(column));
        else
            st.bindText(index, stored.text(column).toString());
    }
}

void bindNew(Statement& st, int index, const EditBuffer& edit, size_t column, bool blob)
{
    const Cell& cell = edit.cells[column];
    if (cell.isNull)
        st.bindNull(index);
    else if (blob)
        st.bindBlob(index, edit.blobs[column]);
    else
        st.bindText(index, cell.text);
}

}  // namespace

void TADOQuery::Impl::checkWidths() const
{
    for (size_t i = 0; i < columns.size(); ++i) {
        const ColumnInfo& column = columns[i];
        if (!edit.changed[i] || edit.cells[i].isNull)
            continue;
        const QString fault = WidthFault(column, edit.cells[i].text);
        if (!fault.isNull())
            fail(fault);
    }
}

qint64 TADOQuery::Impl::insertRecord(sqlite3* handle)
{
    QStringList names;
    QStringList marks;
    for (const ColumnInfo& column : columns) {
        names << QuoteIdentifier(column.name);
        marks << QStringLiteral("?");
    }
    Statement st(handle, QStringLiteral("insert into %1(%2) values(%3)")
                             .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    for (size_t i = 0; i < columns.size(); ++i)
        bindNew(st, int(i) + 1, edit, i, columns[i].blob);
    st.step();
    return sqlite3_last_insert_rowid(handle);
}

void TADOQuery::Impl::updateRecord(sqlite3* handle, const Record& stored)
{
    QStringList assignments;
    std::vector<size_t> changedColumns;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (!edit.changed[i])
            continue;
        assignments << QuoteIdentifier(columns[i].name) + QStringLiteral(" = ?");
        changedColumns.push_back(i);
    }
    Statement st(handle, QStringLiteral("update %1 set %2").arg(table, assignments.join(QLatin1Char(',')))
                             + matchesStored(columns));
    int index = 1;
    for (const size_t i : changedColumns)
        bindNew(st, index++, edit, i, columns[i].blob);
    bindStored(st, index, stored, columns);
    st.step();
    if (sqlite3_changes(handle) != 1)
        failStale();
}

void TADOQuery::Impl::deleteRecord(sqlite3* handle, const Record& stored)
{
    Statement st(handle, QStringLiteral("delete from %1").arg(table) + matchesStored(columns));
    bindStored(st, 1, stored, columns);
    st.step();
    if (sqlite3_changes(handle) != 1)
        failStale();
}

void TADOQuery::Impl::checkWritable() const
{
    if (table.isNull())
        fail(QStringLiteral("数据集是只读的"));
}

void TADOQuery::Impl::startInsert()
{
    edit.cells.assign(columns.size(), Cell());
    edit.changed.assign(columns.size(), false);
    edit.blobs.assign(columns.size(), QByteArray());
    state = dsInsert;
}

void TADOQuery::Impl::cancel()
{
    if (!editing())
        return;
    state = dsBrowse;
    edit = EditBuffer();
}

void TADOQuery::Impl::checkBrowseMode()
{
    if (editing())
        post();
}

void TADOQuery::Impl::post()
{
    if (!editing())
        return;
    try {
        sqlite([&] {
            checkWritable();
            checkWidths();
            sqlite3* handle = db();
            if (state == dsInsert) {
                WriteTransaction transaction(handle);
                const qint64 rowid = insertRecord(handle);
                Record inserted = readRecord(handle, rowid);
                transaction.commit();
                records.push_back(std::move(inserted));
                view.push_back(int(records.size()) - 1);
                current = int(view.size()) - 1;
                bof = eof = false;
                cancel();
                notifyReset();
                return;
            }
            Record& stored = records[view[current]];
            if (std::find(edit.changed.begin(), edit.changed.end(), true) != edit.changed.end()) {
                WriteTransaction transaction(handle);
                updateRecord(handle, stored);
                Record updated = readRecord(handle, stored.rowid);
                transaction.commit();
                stored = std::move(updated);
            }
            cancel();
            notifyRow(current);
        });
    } catch (...) {
        cancel();
        throw;
    }
}

void TADOQuery::Impl::deleteCurrent()
{
    if (state == dsInsert) {
        cancel();
        return;
    }
    cancel();
    if (view.empty())
        fail(QStringLiteral("无法在空数据集上执行该操作"));
    checkWritable();
    Record& stored = records[view[current]];
    sqlite([&] { deleteRecord(db(), stored); });
    stored.deleted = true;
    stored.texts = QString();
    stored.foreign.clear();
    view.erase(view.begin() + current);
    if (current >= int(view.size()))
        current = int(view.size()) - 1;
    eof = view.empty();
    bof = view.empty();
    notifyReset();
}
