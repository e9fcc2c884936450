#include "ContactScan.h"

#include "book/BookFile.h"
#include "exchange/KeptExtras.h"
#include "platform/Trim.h"
#include "store/ColumnInfo.h"
#include "store/ContactSchema.h"
#include "store/SqliteHandle.h"
#include "store/StoredText.h"

#include <exception>
#include <optional>

namespace {

// Trimming as everywhere: characters up to 32 at both ends, which in UTF-8 are single bytes.
QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32)
        --end;
    return text.sliced(begin, end - begin);
}

// The text columns of a statement's rows, trimmed, as the book stores them.
class RowTexts {
public:
    explicit RowTexts(bool inPlace) : inPlace_(inPlace) {}
    explicit RowTexts(sqlite3* db) : RowTexts(StoresUtf8(db)) {}

    // Empty for a null, which isNull tells. A value that is not null reads as
    // no bytes only when it is empty (or memory ran out), so the type is asked
    // only then: one call fewer for nearly every value.
    QByteArrayView at(const Statement& row, int column, bool& isNull) const
    {
        const QByteArrayView bytes = ColumnTextBytes(row.get(), column, inPlace_);
        isNull = !bytes.data() && sqlite3_column_type(row.get(), column) == SQLITE_NULL;
        return trimmed(bytes);
    }

    QByteArrayView at(const Statement& row, int column) const
    {
        bool isNull = false;
        return at(row, column, isNull);
    }

private:
    bool inPlace_;
};

// The seven texts, then the extra columns given.
QString selectTexts(const QString& extra)
{
    QStringList columns;
    for (const QString& column : ContactTextColumns())
        columns << QuoteIdentifier(column);
    columns << extra;
    return QStringLiteral("select %1 from %2").arg(columns.join(QStringLiteral(", ")), ContactSchema::ContactTable());
}

}  // namespace

namespace {

// A scan's test of each record, run by SQLite inside the read
// (tessaly_keeps(the seven texts, rowid)): the values are looked at where
// SQLite holds them, and a record the test does not keep is never copied out
// of its page into a row of the result, as every row is.
struct RecordTest {
    const std::function<bool(const ScannedContact&)>& keeps;
    const QHash<qint64, QList<QByteArray>>& kept;
    bool inPlace;
    ScannedContact contact;     // its room reused from record to record
    std::exception_ptr thrown;  // by keeps, for the scan to throw once SQLite has stopped
};

void testRecord(sqlite3_context* context, int, sqlite3_value** values)
{
    auto* test = static_cast<RecordTest*>(sqlite3_user_data(context));
    try {
        ScannedContact& contact = test->contact;
        for (int i = 0; i < ContactTextCount; ++i) {
            const QByteArrayView bytes = ValueTextBytes(values[i], test->inPlace);
            contact.isNull[i] = !bytes.data() && sqlite3_value_type(values[i]) == SQLITE_NULL;
            contact.texts[i] = trimmed(bytes);
        }
        contact.rowid = sqlite3_value_int64(values[ContactTextCount]);
        contact.kept = test->kept.value(contact.rowid);
        sqlite3_result_int(context, test->keeps(contact) ? 1 : 0);
    } catch (...) {
        // A C caller: nothing may be thrown through it.
        test->thrown = std::current_exception();
        sqlite3_result_error(context, "", -1);
    }
}

// The test known to the connection for the scan's while.
class RecordTestFunction {
public:
    RecordTestFunction(sqlite3* db, RecordTest& test) : db_(db)
    {
        const int rc = sqlite3_create_function_v2(db_, name, ContactTextCount + 1, SQLITE_UTF8, &test, testRecord,
                                                  nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            throw SqliteFailure{rc, SqliteErrorText(rc, db_)};
    }
    ~RecordTestFunction()
    {
        sqlite3_create_function_v2(db_, name, ContactTextCount + 1, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr,
                                   nullptr);
    }
    RecordTestFunction(const RecordTestFunction&) = delete;
    RecordTestFunction& operator=(const RecordTestFunction&) = delete;

    static constexpr const char* name = "tessaly_keeps";

private:
    sqlite3* db_;
};

// Every record in table order, or with keeps only those it keeps.
void scan(TADOConnection& connection, const QHash<qint64, QList<QByteArray>>& kept,
          const std::function<bool(const ScannedContact&)>& keeps,
          const std::function<void(const ScannedContact&)>& visit)
{
    DatabaseWork(connection.Name, [&] {
        sqlite3* db = connection.Handle();
        const bool inPlace = StoresUtf8(db);
        const RowTexts texts(inPlace);
        QString sql = selectTexts(QStringLiteral("rowid"));
        RecordTest test{keeps, kept, inPlace, {}, {}};
        std::optional<RecordTestFunction> function;
        if (keeps) {
            function.emplace(db, test);
            QStringList arguments;
            for (const QString& column : ContactTextColumns())
                arguments << QuoteIdentifier(column);
            sql += QStringLiteral(" where %1(%2, rowid)")
                       .arg(QLatin1String(RecordTestFunction::name), arguments.join(QStringLiteral(", ")));
        }
        Statement rows(db, sql);
        ScannedContact contact;
        const auto step = [&] {
            try {
                return rows.step();
            } catch (const SqliteFailure&) {
                if (test.thrown)
                    std::rethrow_exception(test.thrown);
                throw;
            }
        };
        while (step()) {
            for (int i = 0; i < ContactTextCount; ++i)
                contact.texts[i] = texts.at(rows, i, contact.isNull[i]);
            contact.rowid = sqlite3_column_int64(rows.get(), ContactTextCount);
            contact.kept = kept.value(contact.rowid);
            visit(contact);
        }
    });
}

// The kept values alone, by record: what a search looks into besides the seven texts.
QHash<qint64, QList<QByteArray>> keptValues(TADOConnection& connection)
{
    QHash<qint64, QList<QByteArray>> values;
    for (const KeptValue& kept : ReadKept(connection.Handle()))
        values[kept.rec] << kept.value.toUtf8();
    return values;
}

}  // namespace

void ScanContacts(TADOConnection& connection, const std::function<void(const ScannedContact&)>& visit)
{
    scan(connection, {}, {}, visit);
}

void ScanContacts(const QString& path, const std::function<void(const ScannedContact&)>& visit)
{
    TADOConnection connection(QStringLiteral("通讯录"));
    OpenBookConnection(connection, path);
    KeepFewPages(connection.Handle());  // opened for this one pass
    scan(connection, keptValues(connection), {}, visit);
}

void ScanContacts(BookRun& run, const std::function<bool(const ScannedContact&)>& keeps,
                  const std::function<void(const ScannedContact&)>& visit)
{
    TADOConnection connection(QStringLiteral("通讯录"));
    OpenBookConnection(connection, run);
    KeepFewPages(connection.Handle());  // opened for this one pass
    scan(connection, keptValues(connection), keeps, visit);
}

void ScanRecordTexts(TADOConnection& connection,
                     const std::function<void(const ContactTexts&, const QList<DraftExtra>&, qint64)>& visit,
                     RecordVisit when)
{
    const QHash<qint64, QList<DraftExtra>> kept = KeptByRecord(ReadKept(connection.Handle()));
    const QList<DraftExtra> none;
    ContactTexts texts;  // its room reused from record to record
    const auto visitDecoded = [&](const ScannedContact& scanned) {
        for (int i = 0; i < ContactTextCount; ++i)
            DecodeStoredText(scanned.texts[size_t(i)], texts[size_t(i)]);
        const auto keptOf = kept.constFind(scanned.rowid);
        visit(texts, keptOf == kept.constEnd() ? none : *keptOf, scanned.rowid);
    };
    if (when == RecordVisit::InsideTheRead)
        scan(connection, {},
             [&](const ScannedContact& scanned) {
                 visitDecoded(scanned);
                 return false;  // none is copied out into a row
             },
             {});
    else
        ScanContacts(connection, visitDecoded);
}

QList<ContactHoldings> BookHoldings(sqlite3* db)
{
    return DatabaseWork(QStringLiteral("通讯录"), [&] {
        const QHash<qint64, QList<DraftExtra>> kept = KeptByRecord(ReadKept(db));
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

QHash<qint64, StoredContact> ReadContacts(TADOConnection& connection, const QList<qint64>& rowids)
{
    return DatabaseWork(connection.Name, [&] {
        QHash<qint64, StoredContact> found;
        const ReadTogether together(connection.Handle());  // not one read transaction for each record
        const QHash<qint64, QList<DraftExtra>> kept = KeptByRecord(ReadKeptOf(connection.Handle(), rowids));
        Statement row(connection.Handle(),
                      selectTexts(QuoteIdentifier(PhotoColumn())) + QStringLiteral(" where rowid = ?"));
        const RowTexts texts(connection.Handle());
        for (qint64 rowid : rowids) {
            row.bindInt64(1, rowid);
            if (row.step()) {
                StoredContact contact;
                for (int i = 0; i < ContactTextCount; ++i)
                    contact.texts[size_t(i)] = DecodeStoredText(texts.at(row, i));
                contact.photo = row.columnBlob(ContactTextCount);
                contact.kept = kept.value(rowid);
                found.insert(rowid, contact);
            }
            row.reset();
        }
        return found;
    });
}

std::optional<StoredContact> ReadContact(const QString& path, qint64 rowid)
{
    TADOConnection connection(QStringLiteral("通讯录"));
    OpenBookConnection(connection, path);
    const QHash<qint64, StoredContact> found = ReadContacts(connection, {rowid});
    return found.contains(rowid) ? std::optional(found.value(rowid)) : std::nullopt;
}
