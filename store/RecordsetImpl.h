#pragma once
// The inside of TADOQuery: every record of the result with its hidden rowid,
// the view (filtered, sorted indices into the records), the current record and
// the edit buffer. Shared by the Recordset*.cpp files only.

#include "ADODB.h"
#include "ColumnInfo.h"
#include "FilterExpr.h"
#include "SortOrder.h"

#include <optional>
#include <vector>

struct sqlite3;

// One value: a text column's text, or for a blob column only its length.
struct Cell {
    QString text;
    qint64 blobLength = 0;
    bool isNull = true;
};

struct Record {
    qint64 rowid = 0;
    std::vector<Cell> cells;
    bool deleted = false;
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
    QString table;       // as written after "from"; null when the result cannot be written back
    QString projection;  // loads records without photo bytes: rowid, texts, blob lengths

    std::vector<Record> records;
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

    int holdCount = 0;
    bool heldChanges = false;

    // Messages
    [[noreturn]] void fail(const QString& text) const;
    void checkActive() const;
    void checkEditing() const;
    void checkWritable() const;

    // Opening and reading back
    sqlite3* db() const;
    void load();
    Record readRecord(sqlite3* db, qint64 rowid) const;
    QByteArray readBlob(int column) const;

    // The view
    const Record* currentRecord() const;
    bool passesFilter(const Record& record) const;
    void rebuildView(bool keepCurrent);
    void compileFilter(const QString& text);
    std::vector<SortKey> resolveSort(const QString& text) const;
    void moveTo(int viewIndex);

    // Cells as fields see them: the edit buffer while editing, else the current record
    const Cell* cellOf(int column) const;
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
