// check: the book's integrity and its number of contacts; exit 1 when it is damaged.

#include "book/BookFile.h"
#include "book/CheckBook.h"
#include "book/Commands.h"

int RunCheck(BookRun& run, const QStringList& arguments)
{
    const CommandArguments split = SplitArguments(QStringLiteral("check"), arguments);
    if (!split.operands.isEmpty())
        throw UsageError(QStringLiteral("check 不接受参数 %1").arg(split.operands.first()));
    const BookCheck check = CheckBook(run.database);
    for (const QString& line : check.lines)
        run.console.out(line);
    if (!check.sound) {
        run.console.err(QStringLiteral("通讯录 %1 已损坏").arg(ShownPath(run.database)));
        return ExitCode::Failure;
    }
    return ExitCode::Success;
}
