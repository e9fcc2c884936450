// check: the book's integrity and its number of contacts; exit 1 when it is damaged.

#include "book/BookFile.h"
#include "book/Commands.h"
#include "book/KeptValues.h"
#include "store/Backup.h"

#include <QFile>

#include <sys/stat.h>

namespace {

// The book holds every contact: a mode that lets others read it is worth a word.
void warnIfOthersCanRead(BookRun& run)
{
    struct stat info {};
    if (::stat(QFile::encodeName(run.database).constData(), &info) != 0 || (info.st_mode & 0044) == 0)
        return;
    const QString mode = QStringLiteral("%1").arg(info.st_mode & 0777, 4, 8, QLatin1Char('0'));
    run.console.err(QStringLiteral("警告：通讯录 %1 的权限为 %2，其他用户也能读取；可用 chmod 600 收紧")
                        .arg(ShownPath(run.database), mode));
}

}  // namespace

int RunCheck(BookRun& run, const QStringList& arguments)
{
    const CommandArguments split = SplitArguments(QStringLiteral("check"), arguments);
    if (!split.operands.isEmpty())
        throw UsageError(QStringLiteral("check 不接受参数 %1").arg(split.operands.first()));
    {
        TADOConnection connection(QStringLiteral("通讯录"));
        OpenBookConnection(connection, run);
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
    warnIfOthersCanRead(run);
    return ExitCode::Success;
}
