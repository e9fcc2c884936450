#include "SyncBookFile.h"

#include "book/BackupBook.h"
#include "book/ContactScan.h"
#include "book/HeldBook.h"
#include "exchange/KeptExtras.h"
#include "store/ColumnInfo.h"
#include "store/ContactSchema.h"
#include "store/KeptCount.h"
#include "store/SqliteHandle.h"
#include "sync/ContactFields.h"

#include <QDateTime>

namespace {

const QString component = QStringLiteral("联系人");

FittedContact fittedOf(const StoredContact& contact)
{
    FittedContact fitted;
    fitted.texts = contact.texts;
    if (!contact.photo.isEmpty())
        fitted.photo = FittedPhoto(contact.photo);
    fitted.kept = contact.kept;
    return fitted;
}

}  // namespace

SyncBookFile::SyncBookFile(TADOConnection& connection, QString path)
    : connection_(connection), path_(std::move(path)), adding_(connection)
{
}

sqlite3* SyncBookFile::handle()
{
    return connection_.Handle();
}

ColumnWidths SyncBookFile::widths()
{
    return DatabaseWork(component, [&] {
        Statement st(handle(), QStringLiteral("select * from %1").arg(ContactSchema::ContactTable()));
        return ContactWidths(DescribeColumns(st.get()));
    });
}

QList<BookRecord> SyncBookFile::records()
{
    QHash<qint64, QByteArray> photos;
    DatabaseWork(component, [&] {
        Statement st(handle(), QStringLiteral("select rowid, %1 from %2 where %1 is not null")
                                   .arg(QuoteIdentifier(PhotoColumn()), ContactSchema::ContactTable()));
        while (st.step()) {
            const QByteArray bytes = st.columnBlob(1);
            if (!bytes.isEmpty())
                photos.insert(st.columnInt64(0), PhotoDigest(bytes));
        }
    });
    QList<BookRecord> records;
    ScanRecordTexts(connection_, [&](const ContactTexts& texts, const QList<DraftExtra>& kept, qint64 rowid) {
        BookRecord r;
        r.rec = rowid;
        r.contact.texts = texts;
        r.contact.kept = kept;
        r.photoDigest = photos.value(rowid);
        records << r;
    });
    return records;
}

QList<BookRecord> SyncBookFile::records(const QList<qint64>& recs)
{
    const QHash<qint64, StoredContact> found = ReadContacts(connection_, recs);
    QList<BookRecord> records;
    for (qint64 rec : recs) {
        const auto contact = found.constFind(rec);
        if (contact == found.cend())
            continue;
        BookRecord r;
        r.rec = rec;
        r.photoDigest = PhotoDigest(contact->photo);
        r.contact = *contact;
        r.contact.photo.clear();
        records << r;
    }
    return records;
}

qint64 SyncBookFile::count()
{
    return DatabaseWork(component, [&] { return CountForOpening(handle(), ContactSchema::ContactTable()); });
}

std::optional<StoredContact> SyncBookFile::record(qint64 rec)
{
    const QHash<qint64, StoredContact> found = ReadContacts(connection_, {rec});
    if (!found.contains(rec))
        return std::nullopt;
    return found.value(rec);
}

qint64 SyncBookFile::add(const StoredContact& contact)
{
    return adding_.add(fittedOf(contact));
}

void SyncBookFile::update(qint64 rec, const StoredContact& before, const StoredContact& after)
{
    DatabaseWork(component, [&] {
        sqlite3* db = handle();
        // Only the columns that changed, so an unchanged one keeps its stored form.
        QStringList sets;
        for (int i = 0; i < ContactTextCount; ++i)
            if (after.texts[size_t(i)] != before.texts[size_t(i)])
                sets << QuoteIdentifier(ContactTextColumns()[i]) + QStringLiteral(" = ?");
        const bool photo = after.photo != before.photo;
        if (photo)
            sets << QuoteIdentifier(PhotoColumn()) + QStringLiteral(" = ?");
        if (!sets.isEmpty()) {
            Statement st(db, QStringLiteral("update %1 set %2 where rowid = ?")
                                 .arg(ContactSchema::ContactTable(), sets.join(QStringLiteral(", "))));
            int at = 1;
            for (int i = 0; i < ContactTextCount; ++i) {
                const QString& text = after.texts[size_t(i)];
                if (text == before.texts[size_t(i)])
                    continue;
                if (text.isEmpty())
                    st.bindNull(at++);  // an empty text is stored as null, as an append stores it
                else
                    st.bindText(at++, text);
            }
            if (photo) {
                if (after.photo.isEmpty())
                    st.bindNull(at++);
                else
                    st.bindBlob(at++, after.photo);
            }
            st.bindInt64(at, rec);
            st.step();
            if (sqlite3_changes(db) != 1)
                RaiseDatabaseError(component, QStringLiteral("编号 %1 的联系人已不在通讯录中").arg(rec));
        }
        if (after.kept != before.kept)
            ReplaceKept(db, rec, KeptRows(rec, after.kept));
    });
}

void SyncBookFile::remove(qint64 rec)
{
    DatabaseWork(component, [&] {
        Statement st(handle(), QStringLiteral("delete from %1 where rowid = ?").arg(ContactSchema::ContactTable()));
        st.bindInt64(1, rec);
        st.step();
    });
}

void SyncBookFile::transaction(const std::function<void()>& work)
{
    InOneTransaction(connection_, work);
}

QString SyncBookFile::backup()
{
    // Deleting records under the window program would leave it showing, and writing back, records that are gone.
    RefuseWhileHeld(path_, QStringLiteral("同步"));
    const QString target = FreeBackupPath(path_, QDateTime::currentDateTime());
    BackupBook(path_, target);
    return target;
}
