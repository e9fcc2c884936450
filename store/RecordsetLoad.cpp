// Opening a query: the statement is prepared as written (it is checked and
// names the columns and their declared types), then the records are loaded
// through a projection that never reads photo bytes.

#include "RecordsetImpl.h"
#include "SqliteHandle.h"

void TADOQuery::Impl::fail(const QString& text) const
{
    throw EDatabaseError(q->Name + QStringLiteral(": ") + text);
}

sqlite3* TADOQuery::Impl::db() const
{
    if (!q->Connection)
        fail(QStringLiteral("缺少连接"));
    return q->Connection->Handle();
}

static Cell cellAt(const Statement& st, int column, bool blob)
{
    Cell cell;
    cell.isNull = st.columnIsNull(column);
    if (cell.isNull)
        return cell;
    if (blob)
        cell.blobLength = st.columnInt64(column);
    else
        cell.text = st.columnText(column);
    return cell;
}

static Record recordAt(const Statement& st, const std::vector<ColumnInfo>& columns, bool withRowid)
{
    Record record;
    const int first = withRowid ? 1 : 0;
    if (withRowid)
        record.rowid = st.columnInt64(0);
    record.cells.reserve(columns.size());
    for (size_t i = 0; i < columns.size(); ++i)
        record.cells.push_back(cellAt(st, int(i) + first, columns[i].blob && withRowid));
    return record;
}

static QString projectionOf(const QString& table, const std::vector<ColumnInfo>& columns)
{
    QString sql = QStringLiteral("select rowid");
    for (const ColumnInfo& column : columns) {
        const QString quoted = QuoteIdentifier(column.name);
        sql += QStringLiteral(", ") + (column.blob ? QStringLiteral("length(%1)").arg(quoted) : quoted);
    }
    return sql + QStringLiteral(" from ") + table;
}

void TADOQuery::Impl::load()
{
    sqlite3* handle = db();
    const QString sql = q->SQL.join(QLatin1Char('\n'));
    try {
        Statement statement(handle, sql);
        const int count = statement.empty() ? 0 : sqlite3_column_count(statement.get());
        if (count == 0)
            fail(QStringLiteral("命令文本未返回记录集"));
        std::vector<ColumnInfo> described;
        for (int i = 0; i < count; ++i) {
            const char* declared = sqlite3_column_decltype(statement.get(), i);
            described.push_back(DescribeColumn(QString::fromUtf8(sqlite3_column_name(statement.get(), i)),
                                               QString::fromUtf8(declared ? declared : "")));
        }
        columns = std::move(described);
        records.clear();
        table = TableOfSelectAll(sql);
        projection.clear();
        if (!table.isNull()) {
            try {
                const QString candidate = projectionOf(table, columns);
                Statement rows(handle, candidate);
                while (rows.step())
                    records.push_back(recordAt(rows, columns, true));
                projection = candidate;
                return;
            } catch (const SqliteFailure&) {
                // A view or a table without rowid: read it as it stands, read-only.
                records.clear();
                table = QString();
            }
        }
        // Without a rowid the blob columns are read as texts: such a result is read-only.
        for (ColumnInfo& column : columns)
            column.blob = false;
        while (statement.step())
            records.push_back(recordAt(statement, columns, false));
    } catch (const SqliteFailure& f) {
        records.clear();
        fail(f.text);
    }
}

Record TADOQuery::Impl::readRecord(sqlite3* handle, qint64 rowid) const
{
    Statement statement(handle, projection + QStringLiteral(" where rowid = ?"));
    statement.bindInt64(1, rowid);
    if (!statement.step())
        fail(QStringLiteral("记录已被其他程序修改或删除"));
    return recordAt(statement, columns, true);
}

QByteArray TADOQuery::Impl::readBlob(int column) const
{
    const Record* record = currentRecord();
    if (!record || record->cells[column].isNull)
        return QByteArray();
    checkWritable();
    try {
        Statement statement(db(), QStringLiteral("select %1 from %2 where rowid = ?")
                                      .arg(QuoteIdentifier(columns[column].name), table));
        statement.bindInt64(1, record->rowid);
        if (!statement.step())
            fail(QStringLiteral("记录已被其他程序修改或删除"));
        return statement.columnBlob(0);
    } catch (const SqliteFailure& f) {
        fail(f.text);
    }
}
