// Opening a query: the statement is prepared as written (it is checked and
// names the columns and their declared types), then the records are loaded
// through a projection that never reads photo bytes.

#include "store/KeptCount.h"
#include "store/RecordsetImpl.h"
#include "store/SqliteHandle.h"
#include "store/StoredText.h"

#include <QVarLengthArray>
#include <algorithm>
#include <utility>

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

// Every value is read on its own: the record's string is built from the
// values' UTF-8, checked and decoded in one pass, or for a value that is no
// well-formed UTF-8 from the text it reads as, whatever another tool stored
// beside it.
static Record recordAt(const Statement& st, const std::vector<ColumnInfo>& columns, bool withRowid, bool textInPlace)
{
    Record record;
    const int first = withRowid ? 1 : 0;
    if (withRowid)
        record.rowid = st.columnInt64(0);
    const qsizetype count = qsizetype(columns.size());
    record.places.resize(count);
    // The texts one after another, then copied once into the record's own string.
    QVarLengthArray<char16_t, 256> texts;
    for (qsizetype i = 0; i < count; ++i) {
        const int column = int(i) + first;
        Slot& slot = record.places[i];
        const int type = sqlite3_column_type(st.get(), column);
        if (type == SQLITE_NULL)
            continue;
        if (columns[i].blob && withRowid) {
            slot.offset = qint32(st.columnInt64(column));
            slot.length = 0;
            continue;
        }
        const bool isText = type == SQLITE_TEXT;
        // Taken before the value is read as text, which may convert it in place.
        StoredValue stored = isText ? StoredValue() : st.columnValue(column);
        const QByteArrayView bytes = ColumnTextBytes(st.get(), column, textInPlace && isText);
        const qsizetype offset = texts.size();
        texts.resize(offset + bytes.size());  // UTF-8 never takes fewer bytes than UTF-16 units
        int units = isText ? DecodeIfWellFormedUtf8(bytes, texts.data() + offset) : -1;
        if (units < 0) {
            if (!stored)
                stored = st.columnValue(column);
            const QString decoded = DecodeStoredText(bytes);
            units = int(decoded.size());
            texts.resize(offset + units);
            std::copy_n(reinterpret_cast<const char16_t*>(decoded.constData()), units, texts.data() + offset);
            record.foreign.push_back(ForeignValue{int(i), std::move(stored)});
        }
        texts.resize(offset + units);
        slot.offset = qint32(offset);
        slot.length = units;
    }
    record.texts = QString(reinterpret_cast<const QChar*>(texts.constData()), texts.size());
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

void TADOQuery::Impl::load(std::optional<int> counted)
{
    sqlite3* handle = db();
    ahead.reset();  // a read ahead of what was open before
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
        columns = DescribeColumns(statement.get());
        textInPlace = StoresUtf8(handle);
        pendingRows.reset();
        pendingDone = false;
        records.clear();
        fetchPending = false;
        fetchFailed = false;
        table = TableOfSelectAll(sql);
        projection.clear();
        if (!table.isNull()) {
            try {
                const QString candidate = projectionOf(table, columns);
                Statement rows(handle, candidate);
                if (q->DeferFetch && !filtered) {
                    pendingCount = counted ? *counted : int(CountForOpening(handle, table));
                    fetchPending = true;
                    projection = candidate;
                    return;
                }
                while (rows.step())
                    records.push_back(recordAt(rows, columns, true, textInPlace));
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
            records.push_back(recordAt(statement, columns, false, textInPlace));
    });
}

void TADOQuery::Impl::readAheadRecords()
{
    auto read = std::make_shared<AheadRead>();
    ahead = read;
    q->Connection->ReadAhead([read, sql = projection, columns = columns,
                              inPlace = textInPlace](sqlite3* handle, const std::atomic<bool>& stop) {
        try {
            read->rows = std::make_unique<Statement>(handle, sql);
            // A record stepped to is always kept: the read goes on from the next.
            while (!stop) {
                read->done = !read->rows->step();
                if (read->done)
                    break;
                read->records.push_back(recordAt(*read->rows, columns, true, inPlace));
            }
            read->version = DataVersion(handle);
        } catch (...) {
            read->failed = true;
        }
    });
}

void TADOQuery::Impl::takeAhead()
{
    if (!ahead)
        return;
    sqlite3* handle = q->Connection->Handle();  // waits for the thread
    const std::shared_ptr<AheadRead> read = std::move(ahead);
    if (read->failed || !fetchPending)
        return;
    // Another program may have written since a read that ended: the records are then read anew.
    try {
        if (DataVersion(handle) != read->version)
            return;
    } catch (const SqliteFailure&) {
        return;
    }
    pendingRows = std::move(read->rows);
    pendingDone = read->done;
    records = std::move(read->records);
}

void TADOQuery::Impl::fetchRows()
{
    takeAhead();
    // Asked once: records that cannot be read leave an empty view, not a retry at every look.
    fetchPending = false;
    // The rest of a read begun for the first records, or all of them.
    std::unique_ptr<Statement> rows = std::move(pendingRows);
    std::deque<Record> read = rows ? std::move(records) : std::deque<Record>();
    const bool done = std::exchange(pendingDone, false);
    QString failure;
    try {
        if (!rows)
            rows = std::make_unique<Statement>(db(), projection);
        while (!done && rows->step())
            read.push_back(recordAt(*rows, columns, true, textInPlace));
    } catch (const SqliteFailure& f) {
        failure = f.Message;
        read.clear();
    }
    rows.reset();
    records = std::move(read);
    buildView(false);
    fetchFailed = !failure.isNull();
    if (int(view.size()) != pendingCount)
        notifyReset();
    if (fetchFailed)
        fail(failure);
}

void TADOQuery::Impl::fetchFirst(int count)
{
    takeAhead();
    if (!fetchPending || !sortKeys.empty())
        return;
    try {
        if (!pendingRows)
            pendingRows = std::make_unique<Statement>(db(), projection);
        while (!pendingDone && int(records.size()) < count) {
            // A statement stepped past its end would start over.
            pendingDone = !pendingRows->step();
            if (!pendingDone)
                records.push_back(recordAt(*pendingRows, columns, true, textInPlace));
        }
    } catch (const SqliteFailure&) {
        // The whole read will tell.
        pendingRows.reset();
        pendingDone = false;
        records.clear();
    }
}

const Record* TADOQuery::Impl::readAhead(int viewRow) const
{
    const_cast<Impl*>(this)->takeAhead();
    if (!fetchPending || !sortKeys.empty() || viewRow < 0 || viewRow >= int(records.size()))
        return nullptr;
    return &records[viewRow];
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
    return recordAt(statement, columns, true, textInPlace);
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
