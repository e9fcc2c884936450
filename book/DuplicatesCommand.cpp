// duplicates: the groups of records that are probably one person, with why;
// what it lists is remembered so merge can refuse a record changed since.

#include "book/BookFile.h"
#include "book/Commands.h"
#include "book/ContactListing.h"
#include "book/DuplicateGroups.h"
#include "book/ListedRecords.h"

int RunDuplicates(BookRun& run, const QStringList& arguments)
{
    const CommandArguments split = SplitArguments(QStringLiteral("duplicates"), arguments);
    if (!split.operands.isEmpty())
        throw UsageError(QStringLiteral("duplicates 不接受参数 %1").arg(split.operands.first()));
    BookFile book(run.database, &run);
    const QList<StoredContact> records = book.contacts();
    const QList<DuplicateGroup> groups = FindDuplicates(records);
    QList<QStringList> rows;
    QHash<qint64, QByteArray> listed;
    for (qsizetype g = 0; g < groups.size(); ++g) {
        for (int member : groups[g].members) {
            const qint64 number = book.query.RecordId(member);
            const ContactTexts& texts = records[member].texts;
            rows << QStringList{QString::number(g + 1), groups[g].reasons.join(u'、'), QString::number(number)}
                        + QStringList(texts.begin(), texts.end());
            listed.insert(number, RecordDigest(records[member]));
        }
    }
    StoreListed(book.connection.Handle(), listed);
    PrintTable(run.console,
               QStringList{QStringLiteral("组"), QStringLiteral("原因"), QStringLiteral("编号")} + ContactTextColumns(),
               rows);
    return ExitCode::Success;
}
