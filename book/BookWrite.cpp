#include "BookWrite.h"

#include "exchange/KeptExtras.h"
#include "store/ColumnInfo.h"
#include "store/ContactSchema.h"
#include "store/SqliteHandle.h"

#include <QFile>
#include <vector>

namespace {

// What a column of the contact table takes from a contact.
enum class Source { Nothing, Text, Photo };

struct InsertColumn {
    ColumnInfo info;
    Source source = Source::Nothing;
    int text = 0;  // which of the seven texts, for Source::Text
};

// One insert statement for every record, prepared once: all columns of the
// table, bound as the engine's own append binds them (an empty text is null,
// a column no contact fills is null, a text wider than its column is refused).
class RecordInsert {
public:
    explicit RecordInsert(sqlite3* db) : db_(db), insert_(db, insertSql(db, columns_)) {}

    qint64 add(const FittedContact& contact)
    {
        for (size_t i = 0; i < columns_.size(); ++i) {
            const InsertColumn& column = columns_[i];
            const int index = int(i) + 1;
            if (column.source == Source::Photo && contact.photo)
                insert_.bindBlob(index, contact.photo.bytes());
            else if (column.source == Source::Text && !contact.texts[column.text].isEmpty())
                insert_.bindText(index, checkedWidth(column.info, contact.texts[column.text]));
            else
                insert_.bindNull(index);
        }
        insert_.step();
        insert_.reset();
        return sqlite3_last_insert_rowid(db_);
    }

private:
    static QString insertSql(sqlite3* db, std::vector<InsertColumn>& columns)
    {
        const QString& table = ContactSchema::ContactTable();
        Statement described(db, QStringLiteral("select * from %1 where 0").arg(table));
        QStringList names;
        QStringList marks;
        for (ColumnInfo& info : DescribeColumns(described.get())) {
            InsertColumn column{std::move(info)};
            column.text = int(ContactTextColumns().indexOf(column.info.name));
            if (column.text >= 0)
                column.source = Source::Text;
            else if (column.info.name == PhotoColumn())
                column.source = column.info.blob ? Source::Photo : Source::Nothing;
            names << QuoteIdentifier(column.info.name);
            marks << QStringLiteral("?");
            columns.push_back(std::move(column));
        }
        return QStringLiteral("insert into %1(%2) values(%3)")
            .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    }

    static const QString& checkedWidth(const ColumnInfo& column, const QString& text)
    {
        const QString fault = WidthFault(column, text);
        if (!fault.isNull())
            RaiseDatabaseError(QStringLiteral("联系人"), fault);
        return text;
    }

    sqlite3* db_;
    std::vector<InsertColumn> columns_;
    Statement insert_;
};

}  // namespace

struct ContactAppending::Open {
    explicit Open(sqlite3* db) : insert(db) {}
    RecordInsert insert;
    bool keeps = false;  // the table for kept values is there
};

ContactAppending::ContactAppending(TADOConnection& connection) : connection_(connection) {}

ContactAppending::~ContactAppending()
{
    if (!began_)
        return;
    try {
        connection_.RollbackTrans();
    } catch (...) {
        // A rollback that fails leaves the journal, which undoes the rest when the book is opened next.
    }
}

struct RecordAdding::Open {
    explicit Open(sqlite3* db) : insert(db) {}
    RecordInsert insert;
};

RecordAdding::RecordAdding(TADOConnection& connection) : connection_(connection) {}

RecordAdding::~RecordAdding() = default;

qint64 RecordAdding::add(const FittedContact& contact)
{
    sqlite3* db = connection_.Handle();
    return DatabaseWork(QStringLiteral("联系人"), [&] {
        if (!open_)
            open_ = std::make_unique<Open>(db);
        const qint64 rowid = open_->insert.add(contact);
        if (!contact.kept.isEmpty()) {
            EnsureKeptTable(db);
            AddKept(db, KeptRows(rowid, contact.kept));
        }
        return rowid;
    });
}

void ContactAppending::add(const FittedContact& contact)
{
    sqlite3* db = connection_.Handle();
    if (!began_) {
        DatabaseWork(connection_.Name, [&] {
            // Appended pages are written once: the cache that spares reading decrypting
            // pages twice would only add to the import's memory.
            sqlite3_exec(db, "PRAGMA cache_size = -16384", nullptr, nullptr, nullptr);
            connection_.BeginTrans();
        });
        began_ = true;
    }
    // Failures of the records themselves are named as the contact table's, as the window names them.
    DatabaseWork(QStringLiteral("联系人"), [&] {
        if (!open_)
            open_ = std::make_unique<Open>(db);
        const qint64 rowid = open_->insert.add(contact);
        if (contact.kept.isEmpty())
            return;
        if (!open_->keeps)
            EnsureKeptTable(db);
        open_->keeps = true;
        AddKept(db, KeptRows(rowid, contact.kept));
    });
}

void ContactAppending::commit()
{
    if (!began_)
        return;
    DatabaseWork(connection_.Name, [&] { connection_.CommitTrans(); });
    began_ = false;
}

void AddContacts(TADOConnection& connection, const FittedContacts& contacts,
                 const std::function<bool(int, int)>& progress)
{
    ContactAppending appending(connection);
    int written = 0;
    for (const FittedContact& contact : contacts) {
        appending.add(contact);
        if (progress && !progress(++written, int(contacts.size())))
            throw ImportCancelled();
    }
    appending.commit();
}

NewBookGuard::~NewBookGuard()
{
    if (!path_.isEmpty())
        QFile::remove(path_);
}
