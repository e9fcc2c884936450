// merge --into KEPT OTHER...: records duplicates listed made one, after a backup.
// Only records whose contents are still what duplicates listed are taken:
// one changed or deleted since (by the window, another run) refuses the merge.

#include "book/BookFile.h"
#include "book/Commands.h"
#include "book/ContactMerge.h"
#include "book/KeptValues.h"
#include "book/ListedRecords.h"
#include "exchange/ContactFitting.h"
#include "store/Backup.h"
#include "store/ColumnInfo.h"
#include "store/SqliteHandle.h"

namespace {

QList<qint64> mergeNumbers(const QStringList& arguments)
{
    const QString name = QStringLiteral("merge");
    QStringList rest = arguments;
    const std::optional<QString> into = TakeOptionValue(name, rest, QStringLiteral("--into"));
    const QStringList others = SplitArguments(name, rest).operands;
    if (!into || others.isEmpty())
        throw UsageError(QStringLiteral("merge 需要 --into 编号，以及至少一个要并入的编号"));
    QList<qint64> numbers{RecordNumber(name, *into)};
    for (const QString& other : others) {
        const qint64 number = RecordNumber(name, other);
        if (numbers.contains(number))
            throw UsageError(QStringLiteral("merge 的编号 %1 给了两次").arg(number));
        numbers << number;
    }
    return numbers;
}

// The records by number, each still as duplicates listed it.
QList<StoredContact> listedRecords(BookFile& book, const QList<qint64>& numbers)
{
    const QList<StoredContact> all = book.contacts();
    QHash<qint64, int> rowOf;
    for (int row = 0; row < all.size(); ++row)
        rowOf.insert(book.query.RecordId(row), row);
    const QHash<qint64, QByteArray> listed = ReadListed(book.connection.Handle());
    QList<StoredContact> records;
    for (qint64 number : numbers) {
        const auto row = rowOf.constFind(number);
        if (row == rowOf.constEnd())
            throw Exception(QStringLiteral("编号 %1 已不在通讯录中；请重新运行 duplicates").arg(number));
        if (!listed.contains(number))
            throw Exception(
                QStringLiteral("编号 %1 不在上次 duplicates 列出的分组中；请重新运行 duplicates").arg(number));
        if (listed.value(number) != RecordDigest(all[*row]))
            throw Exception(QStringLiteral("编号 %1 在 duplicates 列出后已被改动；请重新运行 duplicates").arg(number));
        records << all[*row];
    }
    return records;
}

void execute(sqlite3* db, const QString& sql, const QList<QVariant>& values)
{
    Statement st(db, sql);
    for (int i = 0; i < values.size(); ++i) {
        if (values[i].typeId() == QMetaType::QByteArray)
            st.bindBlob(i + 1, values[i].toByteArray());
        else if (values[i].typeId() == QMetaType::LongLong)
            st.bindInt64(i + 1, values[i].toLongLong());
        else
            st.bindText(i + 1, values[i].toString());
    }
    st.step();
}

void writeMerge(BookFile& book, const QList<qint64>& numbers, const QList<StoredContact>& records,
                const MergedContact& merged)
{
    sqlite3* db = book.connection.Handle();
    const QString table = ContactSchema::ContactTable();
    const qint64 kept = numbers.first();
    const bool keeps =
        !merged.keptAside.isEmpty()
        || std::any_of(records.begin(), records.end(), [](const StoredContact& r) { return !r.kept.isEmpty(); });
    InOneTransaction(book.connection, [&] {
        execute(db,
                QStringLiteral("update %1 set %2 = ? where rowid = ?")
                    .arg(table, QuoteIdentifier(ContactTextColumn(ContactText::Note))),
                {merged.note, kept});
        if (merged.photo != records.first().photo)
            execute(db,
                    QStringLiteral("update %1 set %2 = ? where rowid = ?").arg(table, QuoteIdentifier(PhotoColumn())),
                    {merged.photo, kept});
        if (keeps)
            EnsureKeptTable(db);
        for (qint64 other : numbers.mid(1)) {
            if (keeps)
                execute(db, QStringLiteral("update kept set rec = ? where rec = ?"), {kept, other});
            execute(db, QStringLiteral("delete from %1 where rowid = ?").arg(table), {other});
        }
        if (!merged.keptAside.isEmpty())
            AddKept(db, kept, merged.keptAside);
        ForgetListed(db, numbers);
    });
}

}  // namespace

int RunMerge(BookRun& run, const QStringList& arguments)
{
    const QList<qint64> numbers = mergeNumbers(arguments);
    BookFile book(run.database, &run);
    const QList<StoredContact> records = listedRecords(book, numbers);
    const MergedContact merged =
        MergeContacts(records.first(), records.mid(1), ContactWidths(book.query)[int(ContactText::Note)]);
    const QString backup = DefaultBackupPath(run.database, QDateTime::currentDateTime());
    BackupDatabase(book.connection, backup, ContactSchema::DatabasePassword());
    writeMerge(book, numbers, records, merged);
    QStringList others;
    for (qint64 other : numbers.mid(1))
        others << QString::number(other);
    run.console.out(QStringLiteral("已把编号 %1 并入编号 %2（%3）；合并前的通讯录已备份到 %4，恢复它即可撤销合并")
                        .arg(others.join(u'、'), QString::number(numbers.first()),
                             records.first().text(ContactText::Name), ShownPath(backup)));
    if (!merged.keptAside.isEmpty())
        run.console.out(QStringLiteral("备注已满：%1 项另行保存，导出时一并写出").arg(merged.keptAside.size()));
    return ExitCode::Success;
}
