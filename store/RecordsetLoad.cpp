// Opening a query: the statement is prepared as written (it is checked and
// names the columns and their declared types), then the records are loaded
// through a projection that never reads photo bytes.

#include "store/RecordsetImpl.h"
#include "store/SqliteHandle.h"
#include "store/StoredText.h"

#include <exception>

void TADOQuery::Impl::fail(const QString& text) const
{
    RaiseDatabaseError(q->Name, text);
}

void TADOQuery::Impl::failStale() const
{
    fail(QStringLiteral("记录已被其他程序修改或删除"));
}

sqlite3* TADOQuery::Impl::db() const
{
    if (!q->Connection)
        fail(QStringLiteral("缺少连接"));
    return q->Connection->Handle();
}

// UTF-16 units of well-formed UTF-8: every byte that starts a character counts
// one, a four-byte character two.
static int utf16Length(QByteArrayView utf8)
{
    int units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80)
            units += byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

// Every value is read on its own: the record's string is built from UTF-8 that
// is known to be well-formed, so each slot's length is exactly what decoding
// the whole string gives it, whatever another tool stored beside it.
static Record recordAt(const Statement& st, const std::vector<ColumnInfo>& columns, bool withRowid)
{
    thread_local QByteArray utf8;
    utf8.resize(0);  // keeps its capacity from record to record
    Record record;
    const int first = withRowid ? 1 : 0;
    if (withRowid)
        record.rowid = st.columnInt64(0);
    record.places.resize(qsizetype(columns.size()));
    int offset = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        const int column = int(i) + first;
        Slot& slot = record.places[qsizetype(i)];
        if (st.columnIsNull(column))
            continue;
        if (columns[i].blob && withRowid) {
            slot.offset = qint32(st.columnInt64(column));
            slot.length = 0;
            continue;
        }
        const bool isText = sqlite3_column_type(st.get(), column) == SQLITE_TEXT;
        StoredValue stored = isText ? StoredValue() : st.columnValue(column);
        const QByteArrayView bytes(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), column)),
                                   sqlite3_column_bytes(st.get(), column));
        if (isText && IsWellFormedUtf8(bytes)) {
            utf8.append(bytes);
            slot.length = utf16Length(bytes);
        } else {
            if (!stored)
                stored = st.columnValue(column);
            const QString text = DecodeStoredText(bytes);
            utf8.append(text.toUtf8());
            slot.length = int(text.size());
            record.foreign.push_back(ForeignValue{int(i), std::move(stored)});
        }
        slot.offset = offset;
        offset += slot.length;
    }
    record.texts = FromWellFormedUtf8(utf8);
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
    const auto raise = [this](const QString& text) {
        records.clear();
        fail(text);
    };
    RaisingSqliteAs(raise, [&] {
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
        fetchPending = false;
        table = TableOfSelectAll(sql);
        projection.clear();
        if (!table.isNull()) {
            try {
                const QString candidate = projectionOf(table, columns);
                Statement rows(handle, candidate);
                if (q->DeferFetch && !filtered) {
                    Statement count(handle, QStringLiteral("select count(*) from ") + table);
                    count.step();
                    pendingCount = int(count.columnInt64(0));
                    fetchPending = true;
                    projection = candidate;
                    return;
                }
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
    });
}

void TADOQuery::Impl::fetchRows()
{
    // Asked once: records that cannot be read leave an empty view, not a retry at every look.
    fetchPending = false;
    std::deque<Record> read;
    std::exception_ptr failure;
    sqlite3* handle = db();
    try {
        sqlite([&] {
            Statement rows(handle, projection);
            while (rows.step())
                read.push_back(recordAt(rows, columns, true));
        });
    } catch (const EDatabaseError&) {
        failure = std::current_exception();
        read.clear();
    }
    records = std::move(read);
    buildView(false);
    if (int(view.size()) != pendingCount)
        notifyReset();
    if (failure)
        std::rethrow_exception(failure);
}

void TADOQuery::Impl::fetchIfPending() const
{
    // Reading the records changes what the query holds, not what it shows.
    if (fetchPending)
        const_cast<Impl*>(this)->fetchRows();
}

Record TADOQuery::Impl::readRecord(sqlite3* handle, qint64 rowid) const
{
    Statement statement(handle, projection + QStringLiteral(" where rowid = ?"));
    statement.bindInt64(1, rowid);
    if (!statement.step())
        failStale();
    return recordAt(statement, columns, true);
}

QByteArray TADOQuery::Impl::readBlob(int column) const
{
    const Record* record = currentRecord();
    if (!record || record->isNull(column))
        return QByteArray();
    checkWritable();
    return sqlite([&] {
        Statement statement(
            db(),
            QStringLiteral("select %1 from %2 where rowid = ?").arg(QuoteIdentifier(columns[column].name), table));
        statement.bindInt64(1, record->rowid);
        if (!statement.step())
            failStale();
        return statement.columnBlob(0);
    });
}
