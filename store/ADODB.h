#pragma once
// Our engine in place of ADO and Jet: a connection to one SQLCipher file and a
// client-side recordset over one table. The recordset is the single owner of
// the current record, the filter and the sort; the grid, the status bar and
// the export all read it. Errors are EDatabaseError whose message starts with
// the component's Name and ": ".

#include "platform/Errors.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <atomic>
#include <functional>
#include <memory>

struct sqlite3;
struct SqliteCloser;

class TADOConnection {
public:
    explicit TADOConnection(QString name = QStringLiteral("ADOConnection1"));
    ~TADOConnection();
    TADOConnection(const TADOConnection&) = delete;
    TADOConnection& operator=(const TADOConnection&) = delete;

    QString Name;
    bool LoginPrompt = true;
    // "Provider=Microsoft.Jet.OLEDB.4.0;...;Data Source=<file>;Jet OLEDB:Database Password=<pw>"
    QString ConnectionString;

    bool Connected() const;
    // Opens or closes. A failed open raises EDatabaseError, leaves the connection
    // closed and the file unchanged, byte for byte. Opening never creates a file.
    void SetConnected(bool on);
    void Open();
    void Close();
    // Takes over a handle opened with the key on the file that the connection
    // text will name, the key proven by a first read: opening then has nothing
    // left to do. Closes the handle it held before, if any.
    void Adopt(std::unique_ptr<sqlite3, SqliteCloser> db);

    // Lends the open handle to a thread of its own that runs work on it while
    // nobody needs the connection (a start reads the records while the login
    // window waits for the password); work ends soon after stop is set. Every
    // later use of the connection sets it and waits for the thread first.
    // Nothing when the connection is closed.
    void ReadAhead(std::function<void(sqlite3* db, const std::atomic<bool>& stop)> work);
    // The same reading the table's records, so that their pages wait
    // decrypted in the connection's cache when they are read.
    void ReadAhead(const QString& table);

    // The "Data Source" of the connection text (the database file), empty when none.
    QString DataSource() const;

    // Runs a statement without a result set; connects first when closed.
    void Execute(const QString& sql);
    // The open handle; connects first when closed (raising that open's error).
    sqlite3* Handle();

    // One transaction around many writes: every post inside it is kept or undone
    // with the others. BeginTrans takes the write lock at once, so a second copy
    // writing meanwhile makes it wait (the busy timeout), never fail half-way.
    // The queries on the connection do not reload after RollbackTrans.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Runs work in one transaction of the connection: kept whole when it returns, undone
// whole when it throws. A SQLite failure in it comes out as the connection's EDatabaseError.
void InOneTransaction(TADOConnection& connection, const std::function<void()>& work);

class TADOQuery;

// One column of the query's current record (or of the record being edited).
class TField {
public:
    enum Kind { Text, Blob };

    QString FieldName;
    Kind DataKind = Text;
    int Size = 0;  // the n of char(n); 0 when the column has no width

    bool IsBlob() const { return DataKind == Blob; }
    bool IsNull() const;
    // The value as text: char(n) padded with blanks to n characters, null as "".
    QString AsString() const;
    // Needs Edit or Insert state. The empty text stores null; a text longer than
    // the width is refused at Post.
    void SetAsString(const QString& value);
    // A blob's whole value; read from the file when asked, never kept for every row.
    QByteArray AsBytes() const;
    // Replaces a blob's whole value; an empty array is an empty blob, not null.
    void SetAsBytes(const QByteArray& value);

private:
    friend class TADOQuery;
    TADOQuery* owner_ = nullptr;
    int index_ = 0;
};

class TADOQuery : public QObject {
    Q_OBJECT
public:
    enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

    explicit TADOQuery(QString name = QStringLiteral("ADOQuery1"), QObject* parent = nullptr);
    ~TADOQuery() override;

    QString Name;
    TADOConnection* Connection = nullptr;
    QStringList SQL;  // the query text, one line per entry; sent joined by "\n"

    // Opening makes the first record current. A failed open leaves the query closed.
    void Open();
    // When set, Open on a whole table without a filter checks the statement and
    // counts the records, and reads them only at the first look at them (the
    // count, the current position and the field list are no look). If another
    // program changed their number in between, the listeners are told to refetch.
    bool DeferFetch = false;
    // The number of records of the table, counted a moment ago on this
    // connection by someone who made sure the book has not changed since: the
    // next Open that would count them (DeferFetch) takes it instead. Every Open
    // takes it away, whether it used it or not.
    void SetCountedRecords(int records);
    // Reads now what an open left for later; nothing when there is nothing left.
    void FetchAll();
    // Whether the open query holds every record of its result: read at the
    // open, or read since without a failure.
    bool AllRecordsRead() const;
    // Reads only the first records of what an open left for later, so that
    // DisplayText shows them at once; every other look reads the rest first.
    // The read stays open on the book until then: read the rest soon.
    void FetchFirst(int records);
    // While every record is still left for later and the view is the table's
    // order: reads them on the connection's thread (TADOConnection::ReadAhead),
    // where nobody waits for them; the first look at them takes what it read
    // and reads the rest. Otherwise, only their pages are read ahead.
    void ReadAhead();
    void Close();
    bool Active() const;
    void SetActive(bool on);
    // Runs the query text as a statement without a result set.
    void ExecSQL();

    TDataSetState State() const;

    // Records in the current view. On a closed query: "<Name>: 无法在关闭的数据集上执行该操作".
    int RecordCount() const;
    bool IsEmpty() const;
    // 1-based place of the current record in the view; -1 when the view is empty.
    int RecNo() const;
    void SetRecNo(int recNo);
    void First();
    void Next();
    void Prior();
    void Last();
    bool Eof() const;
    bool Bof() const;

    // Filter text and switch. Setting a text that does not parse raises
    // "<Name>: 筛选条件有误" and the view keeps its old filter. A new filter makes
    // the first record current; setting the text it already has changes nothing.
    QString Filter() const;
    void SetFilter(const QString& text);
    bool Filtered() const;
    void SetFiltered(bool on);

    // "col ASC|DESC[, col ...]": reorders the view; the current record stays current.
    // Chinese sorts in pinyin order, nulls first. A blob column is refused.
    QString Sort() const;
    void SetSort(const QString& text);

    // Editing. Edit on an empty view starts a new record instead (Insert).
    void Append();
    void Edit();
    void Post();  // a failed post cancels the edit: the record stays as stored
    void Cancel();
    // Removes the current record; the next becomes current (the previous one after the last).
    // On an empty view: "<Name>: 无法在空数据集上执行该操作".
    void Delete();
    // New record at the end of the view from texts in column order (missing ones null),
    // stored at once and made current. A null QVariant or an empty text stores null.
    void AppendRecord(const QList<QVariant>& values);

    int FieldCount() const;
    TField* Fields(int index);
    TField* FindField(const QString& name);
    // Raises "<Name>: 字段 '<name>' 未找到" for an unknown column.
    TField* FieldByName(const QString& name);

    // For the grid: the view's values without moving the current record.
    // padded, "" for null; a blob column shows "(BLOB)", or "(Blob)" when null
    QString DisplayText(int viewRow, int fieldIndex) const;
    bool IsNullAt(int viewRow, int fieldIndex) const;
    // The record's own number in the file (SQLite's rowid): it stays while the
    // record lives, whatever the view's order. 0 outside the view.
    qint64 RecordId(int viewRow) const;

    // Hold and release the controls that follow the query (the export walk).
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const;

signals:
    // The view was rebuilt (open, close, filter, sort, append, delete): refetch everything.
    void DataSetChanged();
    // One record of the view got new values.
    void RecordChanged(int viewRow);
    // The current record moved (RecNo changed).
    void CurrentChanged();

private:
    friend class TField;
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Binds a query to the controls that show it.
struct TDataSource {
    TADOQuery* DataSet = nullptr;
};
