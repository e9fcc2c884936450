// backup [FILE]: a checked copy of the book with the same key, never over an existing file.

#include "book/BackupBook.h"
#include "book/Commands.h"

int RunBackup(BookRun& run, const QStringList& arguments)
{
    const QStringList files = SplitArguments(QStringLiteral("backup"), arguments).operands;
    if (files.size() > 1)
        throw UsageError(QStringLiteral("backup 最多接受一个文件"));
    const QString target =
        files.isEmpty() ? DefaultBackupPath(run.database, QDateTime::currentDateTime()) : files.first();
    run.console.out(BackupBook(run.database, target, &run));
    return ExitCode::Success;
}
