// duplicates: the groups of records that are probably one person, with why;
// what it lists is remembered so merge can refuse a record changed since.

#include "book/Commands.h"
#include "book/ContactListing.h"
#include "book/DuplicateBook.h"
#include "book/DuplicateGroups.h"

int RunDuplicates(BookRun& run, const QStringList& arguments)
{
    const CommandArguments split = SplitArguments(QStringLiteral("duplicates"), arguments);
    if (!split.operands.isEmpty())
        throw UsageError(QStringLiteral("duplicates 不接受参数 %1").arg(split.operands.first()));
    TADOConnection connection(QStringLiteral("通讯录"));
    OpenBookConnection(connection, run);
    const QList<ListedGroup> groups = ListDuplicates(connection);
    QList<QStringList> rows;
    for (qsizetype g = 0; g < groups.size(); ++g) {
        for (qsizetype m = 0; m < groups[g].records.size(); ++m) {
            const ContactTexts& texts = groups[g].records[m].texts;
            rows << QStringList{QString::number(g + 1), groups[g].reasons.join(u'、'),
                                QString::number(groups[g].numbers[m])}
                        + QStringList(texts.begin(), texts.end());
        }
    }
    PrintTable(run.console,
               QStringList{QStringLiteral("组"), QStringLiteral("原因"), QStringLiteral("编号")} + ContactTextColumns(),
               rows);
    return ExitCode::Success;
}
