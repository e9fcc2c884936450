// backup [FILE]: a checked copy of the book with the same key, never over an existing file.

#include "book/BookFile.h"
#include "book/Commands.h"
#include "store/Backup.h"
#include "store/ContactSchema.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

QString DefaultBackupPath(const QString& book, const QDateTime& when)
{
    return QFileInfo(book).absoluteDir().filePath(
        QStringLiteral("Kalvo-%1.mdb").arg(when.toString(QStringLiteral("yyyyMMdd-HHmmss"))));
}

int RunBackup(BookRun& run, const QStringList& arguments)
{
    const QStringList files = SplitArguments(QStringLiteral("backup"), arguments).operands;
    if (files.size() > 1)
        throw UsageError(QStringLiteral("backup 最多接受一个文件"));
    const QString target =
        files.isEmpty() ? DefaultBackupPath(run.database, QDateTime::currentDateTime()) : files.first();
    TADOConnection source(QStringLiteral("通讯录"));
    OpenBookConnection(source, run);
    BackupDatabase(source, target, ContactSchema::DatabasePassword());
    const int count = BookFile(target).query.RecordCount();
    run.console.out(QStringLiteral("已备份到 %1：检查正常，%2 个联系人").arg(ShownPath(target)).arg(count));
    return ExitCode::Success;
}
