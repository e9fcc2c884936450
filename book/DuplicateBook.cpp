#include "DuplicateBook.h"

#include "book/BackupBook.h"
#include "book/ContactScan.h"
#include "book/DuplicateGroups.h"
#include "book/HeldBook.h"
#include "exchange/ContactFitting.h"
#include "exchange/KeptExtras.h"
#include "store/Backup.h"
#include "store/ColumnInfo.h"
#include "store/KeptCount.h"
#include "store/ListedRecords.h"
#include "store/SqliteHandle.h"

#include <QCryptographicHash>

namespace {

// What listed keeps of a record: its texts, photo and kept values.
QByteArray recordDigest(const StoredContact& record)
{
    // Each part with its length, so no two records run together into one text;
    // gathered first and hashed at once, which costs a fraction of a hash call a part.
    QByteArray parts;
    const auto add = [&parts](const QByteArray& bytes) {
        parts += QByteArray::number(bytes.size());
        parts += ':';
        parts += bytes;
    };
    for (const QString& text : record.texts)
        add(text.toUtf8());
    add(record.photo);
    for (const DraftExtra& value : record.kept) {
        add(value.label.toUtf8());
        add(value.value.toUtf8());
    }
    return QCryptographicHash::hash(parts, QCryptographicHash::Sha256).toHex();
}

// The records by number, each still as duplicates listed it.
QList<StoredContact> listedRecords(TADOConnection& connection, const QList<qint64>& numbers, const ListingWords& words)
{
    const QHash<qint64, StoredContact> found = ReadContacts(connection, numbers);
    const QHash<qint64, QByteArray> listed = ReadListed(connection.Handle());
    QList<StoredContact> records;
    for (qint64 number : numbers) {
        const auto record = found.constFind(number);
        if (record == found.constEnd())
            throw Exception(QStringLiteral("编号 %1 已不在通讯录中；%2").arg(number).arg(words.again));
        if (!listed.contains(number))
            throw Exception(
                QStringLiteral("编号 %1 不在上次%2列出的分组中；%3").arg(number).arg(words.lister, words.again));
        if (listed.value(number) != recordDigest(*record))
            throw Exception(
                QStringLiteral("编号 %1 在%2列出后已被改动；%3").arg(number).arg(words.lister, words.again));
        records << *record;
    }
    return records;
}

void execute(sqlite3* db, const QString& sql, const QList<QVariant>& values)
{
    Statement st(db, sql);
    for (int i = 0; i < values.size(); ++i) {
        if (!values[i].isValid())
            st.bindNull(i + 1);
        else if (values[i].typeId() == QMetaType::QByteArray)
            st.bindBlob(i + 1, values[i].toByteArray());
        else if (values[i].typeId() == QMetaType::LongLong)
            st.bindInt64(i + 1, values[i].toLongLong());
        else
            st.bindText(i + 1, values[i].toString());
    }
    st.step();
}

// The kept record's texts and photo, only where they changed, so an unchanged
// column keeps its stored form (a null stays null).
void updateKept(sqlite3* db, qint64 kept, const StoredContact& before, const MergedContact& merged)
{
    QStringList sets;
    QList<QVariant> values;
    for (int i = 0; i < ContactTextCount; ++i) {
        if (merged.texts[i] == before.texts[i])
            continue;
        sets << QuoteIdentifier(ContactTextColumns()[i]) + QStringLiteral(" = ?");
        values << merged.texts[i];
    }
    if (merged.photo != before.photo) {
        sets << QuoteIdentifier(PhotoColumn()) + QStringLiteral(" = ?");
        // An empty blob would read as a photo; no photo is a null.
        values << (merged.photo.isEmpty() ? QVariant() : QVariant(merged.photo));
    }
    if (sets.isEmpty())
        return;
    values << kept;
    execute(db,
            QStringLiteral("update %1 set %2 where rowid = ?")
                .arg(ContactSchema::ContactTable(), sets.join(QStringLiteral(", "))),
            values);
}

void writeMerge(BookFile& book, const QList<qint64>& numbers, const QList<StoredContact>& records,
                const MergedContact& merged)
{
    sqlite3* db = book.connection.Handle();
    const qint64 kept = numbers.first();
    const bool keeps =
        !merged.keptAside.isEmpty()
        || std::any_of(records.begin(), records.end(), [](const StoredContact& r) { return !r.kept.isEmpty(); });
    InOneTransaction(book.connection, [&] {
        updateKept(db, kept, records.first(), merged);
        if (keeps)
            EnsureKeptTable(db);
        for (qint64 other : numbers.mid(1)) {
            if (keeps)
                MoveKept(db, other, kept);
            execute(db, QStringLiteral("delete from %1 where rowid = ?").arg(ContactSchema::ContactTable()), {other});
        }
        if (!merged.keptAside.isEmpty())
            AddKept(db, KeptRows(kept, merged.keptAside));
        ForgetListed(db, numbers);
        ForgetApart(db, numbers.mid(1));
    });
}

// The groups without the records taken out of them: a record set apart from
// every other member goes; a group left with fewer than two is none.
QList<DuplicateGroup> withoutApart(QList<DuplicateGroup> groups, const QList<qint64>& rowids, const ApartPairs& apart)
{
    if (apart.isEmpty())
        return groups;
    QList<DuplicateGroup> kept;
    for (DuplicateGroup& group : groups) {
        for (qsizetype i = 0; i < group.members.size();) {
            const qint64 record = rowids[group.members[i]];
            const bool alone = std::all_of(group.members.begin(), group.members.end(), [&](int other) {
                return rowids[other] == record || AreApart(apart, record, rowids[other]);
            });
            if (alone && group.members.size() > 1)
                group.members.removeAt(i);
            else
                ++i;
        }
        if (group.members.size() >= 2)
            kept << std::move(group);
    }
    return kept;
}

// The number of records the book keeps beside them, a hint only: none when it
// keeps none or cannot tell (the reading that follows reports a damaged book).
qint64 expectedRecords(sqlite3* db)
{
    try {
        return KeptContactCount(db).value_or(0);
    } catch (const SqliteFailure&) {
        return 0;
    }
}

}  // namespace

const ListingWords& CommandListing()
{
    static const ListingWords words{QStringLiteral(" duplicates "), QStringLiteral("请重新运行 duplicates")};
    return words;
}

QList<ListedGroup> ListDuplicates(TADOConnection& connection)
{
    // The keys of all to find the groups; the whole records of the few listed, for their digests.
    DuplicateFinder finder;
    finder.expect(expectedRecords(connection.Handle()));
    QList<qint64> rowids;
    ScanRecordTexts(
        connection,
        [&](const ContactTexts& texts, const QList<DraftExtra>& kept, qint64 rowid) {
            finder.add(texts, kept);
            rowids << rowid;
        },
        RecordVisit::InsideTheRead);
    const QList<DuplicateGroup> groups = withoutApart(finder.groups(), rowids, ReadApart(connection.Handle()));
    QList<qint64> members;
    for (const DuplicateGroup& group : groups)
        for (int member : group.members)
            members << rowids[member];
    const QHash<qint64, StoredContact> whole = ReadContacts(connection, members);
    QList<ListedGroup> listed;
    QHash<qint64, QByteArray> digests;
    for (const DuplicateGroup& group : groups) {
        ListedGroup shown{group.reasons, {}, {}};
        for (int member : group.members) {
            const qint64 number = rowids[member];
            shown.numbers << number;
            shown.records << whole.value(number);
            digests.insert(number, recordDigest(whole.value(number)));
        }
        listed << shown;
    }
    StoreListed(connection.Handle(), digests);
    return listed;
}

MergeOutcome MergeListed(BookFile& book, const QString& path, const QList<qint64>& numbers,
                         const std::optional<MergeChoice>& choice, const ListingWords& words)
{
    RefuseWhileHeld(path, QStringLiteral("合并"));
    const QList<StoredContact> records = listedRecords(book.connection, numbers, words);
    const MergedContact merged = MergeContacts(records, choice ? *choice : DefaultMergeChoice(records),
                                               ContactWidths(book.query)[int(ContactText::Note)]);
    MergeOutcome outcome{FreeBackupPath(path, QDateTime::currentDateTime()), merged.texts[int(ContactText::Name)],
                         int(merged.keptAside.size())};
    BackupDatabase(book.connection, outcome.backup, ContactSchema::DatabasePassword());
    writeMerge(book, numbers, records, merged);
    return outcome;
}
