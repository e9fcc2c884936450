#pragma once
// The inside of TADOQuery: every record of the result with its hidden rowid,
// the view (filtered, sorted indices into the records), the current record and
// the edit buffer. Shared by the Recordset*.cpp files only.

#include "store/ADODB.h"
#include "store/ColumnInfo.h"
#include "store/FilterExpr.h"
#include "store/SortOrder.h"
#include "store/SqliteHandle.h"

#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include <QVarLengthArray>

// One value: a text column's text, or for a blob column only its length.
struct Cell {
    QString text;
    qint64 blobLength = 0;
    bool isNull = true;
};

// Where a value lies in its record's text; length -1 for null. For a blob
// column offset holds the blob's length (SQLite's blobs stay below 2 GB).
struct Slot {
    qint32 offset = 0;
    qint32 length = -1;
};

// A value that its text cannot give back as stored: bytes that are no UTF-8,
// a number, a blob in a text column. Kept as it was read, so that a write can
// still recognise the record it read.
struct ForeignValue {
    int column = 0;
    StoredValue value;
};

// One record as loaded. All its texts share one string, so 100,000 records
// cost 100,000 allocations, not one per value.
struct Record {
    qint64 rowid = 0;
    QString texts;
    QVarLengthArray<Slot, 8> places;
    std::vector<ForeignValue> foreign;  // empty for what this program wrote
    bool deleted = false;

    // The stored value of a column whose text is not what the file holds; null otherwise.
    const sqlite3_value* foreignValue(int column) const
    {
        for (const ForeignValue& kept : foreign)
            if (kept.column == column)
                return kept.value.get();
        return nullptr;
    }

    bool isNull(int column) const { return places[column].length < 0; }
    QStringView text(int column) const
    {
        const Slot& slot = places[column];
        return slot.length <= 0 ? QStringView() : QStringView(texts).mid(slot.offset, slot.length);
    }
    qint64 blobLength(int column) const { return places[column].offset; }
    Cell cell(int column) const { return Cell{text(column).toString(), blobLength(column), isNull(column)}; }
};

struct EditBuffer {
    std::vector<Cell> cells;
    std::vector<bool> changed;
    std::vector<QByteArray> blobs;  // the new bytes of a changed, non-null blob column
};

struct TADOQuery::Impl {
    explicit Impl(TADOQuery* owner) : q(owner) {}

    TADOQuery* q;
    bool active = false;
    TDataSetState state = dsInactive;

    std::vector<ColumnInfo> columns;
    std::vector<std::unique_ptr<TField>> fields;  // only grows, so TField pointers stay valid
    QString table;             // as written after "from"; null when the result cannot be written back
    QString projection;        // loads records without photo bytes: rowid, texts, blob lengths
    bool textInPlace = false;  // the book is UTF-8: its texts' bytes are read where SQLite holds them

    std::deque<Record> records;  // a deque: loading never moves the records already read
    // Opened with DeferFetch: the records are not read yet; until they are, the
    // view holds pendingCount records and the first is current.
    bool fetchPending = false;
    bool fetchFailed = false;  // the pending records could not be read: the view is empty, not the table
    int pendingCount = 0;
    std::optional<int> countedRecords;  // given for the next open
    // A read begun for the first records of a pending fetch, left open for the
    // rest; records holds what it gave so far, in the table's order.
    std::unique_ptr<Statement> pendingRows;
    bool pendingDone = false;  // pendingRows has given its last record
    // What the connection's thread reads ahead (ReadAhead): its own until the
    // thread has ended, then taken over as the read begun (takeAhead).
    struct AheadRead {
        std::unique_ptr<Statement> rows;
        std::deque<Record> records;
        bool done = false;
        bool failed = false;
        qint64 version = 0;  // the book's data version as read
    };
    std::shared_ptr<AheadRead> ahead;
    std::vector<int> view;
    int current = -1;  // index into view
    bool bof = true;
    bool eof = true;

    QString filterText;
    bool filtered = false;
    std::unique_ptr<FilterExpr> filter;  // compiled filterText, while open
    QString sortText;
    std::vector<SortKey> sortKeys;

    EditBuffer edit;
    bool editing() const { return state == TADOQuery::dsEdit || state == TADOQuery::dsInsert; }

    int holdCount = 0;
    bool heldChanges = false;

    // Messages
    [[noreturn]] void fail(const QString& text) const;
    // Runs work; a SQLite failure in it comes out as this query's EDatabaseError.
    template <class Work>
    decltype(auto) sqlite(Work&& work) const
    {
        return DatabaseWork(q->Name, std::forward<Work>(work));
    }
    // The record as read is no longer what the file holds.
    [[noreturn]] void failStale() const;
    void checkActive() const;
    void checkEditing() const;
    void checkWritable() const;

    // Opening and reading back
    sqlite3* db() const;
    // counted: the table's record count, when someone counted it already (SetCountedRecords).
    void load(std::optional<int> counted);
    // Reads the records an open left for later; on a failure the view is empty and it raises.
    void fetchRows();
    // Reads the first count of them, if the view is the table's order; the rest stays pending.
    void fetchFirst(int count);
    // Every look at the records comes here first: the first reads them.
    void fetchIfPending() const;
    // Reads every pending record on the connection's thread (ReadAhead).
    void readAheadRecords();
    // Waits for the reading ahead and takes what it read as the read begun;
    // after a failure there, nothing: the read that needs them meets and says it.
    void takeAhead();
    // While the records are pending and the view is the table's order: the
    // record at a view row if it has been read already, else null.
    const Record* readAhead(int viewRow) const;
    Record readRecord(sqlite3* db, qint64 rowid) const;
    QByteArray readBlob(int column) const;

    // The view
    const Record* currentRecord() const;
    bool passesFilter(const Record& record) const;
    void rebuildView(bool keepCurrent);  // and tells the listeners
    void buildView(bool keepCurrent);
    void compileFilter(const QString& text);
    std::vector<SortKey> resolveSort(const QString& text) const;
    void moveTo(int viewIndex);
    // Before a move: the records read, the query open, an edit in progress posted.
    void readyToMove()
    {
        fetchIfPending();
        checkActive();
        checkBrowseMode();
    }
    // A filter, filter switch or sort given to a closed query is only kept for its
    // opening: true when the query is closed and the value was kept so.
    template <class T>
    bool keptForOpening(T& setting, const T& value)
    {
        fetchIfPending();
        if (active)
            return false;
        setting = value;
        return true;
    }

    // A value as fields see it: from the edit buffer while editing, else from the
    // current record; null when there is none
    Cell cellOf(int column) const;
    int columnIndex(const QString& name) const;
    void ensureFields();

    // Writing
    void checkBrowseMode();
    void startInsert();
    void post();
    void cancel();
    void deleteCurrent();
    qint64 insertRecord(sqlite3* db);
    void updateRecord(sqlite3* db, const Record& stored);
    void deleteRecord(sqlite3* db, const Record& stored);
    void checkWidths() const;

    // Telling the listeners
    void notifyReset();
    void notifyRow(int viewRow);
    void notifyCurrent();
};
