// check: the book's integrity and its number of contacts; exit 1 when it is damaged.

#include "book/BookFile.h"
#include "book/CheckBook.h"
#include "book/Commands.h"
#include "platform/FileSafety.h"

namespace {

// The book holds every contact: a mode that lets others read it is worth a word.
void warnIfOthersCanRead(BookRun& run)
{
    const std::optional<unsigned> bits = AccessBits(run.database);
    if (!bits || (*bits & 0044) == 0)
        return;
    const QString mode = QStringLiteral("%1").arg(*bits, 4, 8, QLatin1Char('0'));
    run.console.err(QStringLiteral("警告：通讯录 %1 的权限为 %2，其他用户也能读取；可用 chmod 600 收紧")
                        .arg(ShownPath(run.database), mode));
}

}  // namespace

int RunCheck(BookRun& run, const QStringList& arguments)
{
    const CommandArguments split = SplitArguments(QStringLiteral("check"), arguments);
    if (!split.operands.isEmpty())
        throw UsageError(QStringLiteral("check 不接受参数 %1").arg(split.operands.first()));
    const BookCheck check = CheckBook(run.database, &run);
    for (const QString& line : check.lines)
        run.console.out(line);
    if (!check.sound) {
        run.console.err(QStringLiteral("通讯录 %1 已损坏").arg(ShownPath(run.database)));
        return ExitCode::Failure;
    }
    warnIfOthersCanRead(run);
    return ExitCode::Success;
}
