// check: the book's integrity and its number of contacts; exit 1 when it is damaged.

#include "book/BookFile.h"
#include "book/Commands.h"
#include "book/KeptValues.h"
#include "store/Backup.h"

int RunCheck(BookRun& run, const QStringList& arguments)
{
    const CommandArguments split = SplitArguments(QStringLiteral("check"), arguments);
    if (!split.operands.isEmpty())
        throw UsageError(QStringLiteral("check 不接受参数 %1").arg(split.operands.first()));
    {
        TADOConnection connection(QStringLiteral("通讯录"));
        OpenBookConnection(connection, run.database);
        const QStringList problems = IntegrityCheck(connection);
        if (problems != QStringList{QStringLiteral("ok")}) {
            for (const QString& problem : problems)
                run.console.out(problem);
            run.console.err(QStringLiteral("通讯录 %1 已损坏").arg(ShownPath(run.database)));
            return ExitCode::Failure;
        }
    }
    BookFile book(run.database);
    run.console.out(QStringLiteral("完整性检查：正常"));
    run.console.out(QStringLiteral("联系人：%1 个").arg(book.query.RecordCount()));
    // Values kept beside records leave with them; without their record they are of no use to anyone.
    const qint64 orphans = OrphanKeptCount(book.connection.Handle());
    if (orphans > 0)
        run.console.out(QStringLiteral("另存的值：%1 个所属的联系人已不存在").arg(orphans));
    return ExitCode::Success;
}
