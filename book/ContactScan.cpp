#include "ContactScan.h"

#include "book/BookFile.h"
#include "exchange/KeptExtras.h"
#include "platform/Trim.h"
#include "store/ColumnInfo.h"
#include "store/ContactSchema.h"
#include "store/SqliteHandle.h"
#include "store/StoredText.h"

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

// A text column of the current row, trimmed; empty for a null.
QByteArrayView textAt(const Statement& row, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row.get(), column));
    return trimmed(QByteArrayView(text, text ? sqlite3_column_bytes(row.get(), column) : 0));
}

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

void scan(TADOConnection& connection, const QHash<qint64, QList<QByteArray>>& kept,
          const std::function<void(const ScannedContact&)>& visit)
{
    DatabaseWork(connection.Name, [&] {
        Statement rows(connection.Handle(), selectTexts(QStringLiteral("rowid")));
        ScannedContact contact;
        while (rows.step()) {
            for (int i = 0; i < ContactTextCount; ++i) {
                contact.isNull[i] = rows.columnIsNull(i);  // asked before the text converts the value
                contact.texts[i] = textAt(rows, i);
            }
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
    scan(connection, {}, visit);
}

void ScanContacts(const QString& path, const std::function<void(const ScannedContact&)>& visit)
{
    TADOConnection connection(QStringLiteral("通讯录"));
    OpenBookConnection(connection, path);
    scan(connection, keptValues(connection), visit);
}

void ScanContacts(BookRun& run, const std::function<void(const ScannedContact&)>& visit)
{
    TADOConnection connection(QStringLiteral("通讯录"));
    OpenBookConnection(connection, run);
    scan(connection, keptValues(connection), visit);
}

void ScanRecordTexts(TADOConnection& connection,
                     const std::function<void(const ContactTexts&, const QList<DraftExtra>&, qint64)>& visit)
{
    const QHash<qint64, QList<DraftExtra>> kept = KeptByRecord(ReadKept(connection.Handle()));
    const QList<DraftExtra> none;
    ContactTexts texts;  // its room reused from record to record
    ScanContacts(connection, [&](const ScannedContact& scanned) {
        for (int i = 0; i < ContactTextCount; ++i)
            DecodeStoredText(scanned.texts[size_t(i)], texts[size_t(i)]);
        const auto keptOf = kept.constFind(scanned.rowid);
        visit(texts, keptOf == kept.constEnd() ? none : *keptOf, scanned.rowid);
    });
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
        const QHash<qint64, QList<DraftExtra>> kept = KeptByRecord(ReadKeptOf(connection.Handle(), rowids));
        Statement row(connection.Handle(),
                      selectTexts(QuoteIdentifier(PhotoColumn())) + QStringLiteral(" where rowid = ?"));
        for (qint64 rowid : rowids) {
            row.bindInt64(1, rowid);
            if (row.step()) {
                StoredContact contact;
                for (int i = 0; i < ContactTextCount; ++i)
                    contact.texts[size_t(i)] = DecodeStoredText(textAt(row, i));
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
