#include "Backup.h"

#include "platform/FileMessages.h"
#include "platform/FileNames.h"
#include "store/ADODB.h"
#include "store/SqliteHandle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>

namespace {

// How long a backup waits for a writer in another program to finish.
constexpr int BusyRetries = 200;
constexpr int BusyPauseMs = 50;

void copyInto(sqlite3* source, sqlite3* target)
{
    sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main");
    if (!backup)
        throw SqliteFailure{sqlite3_errcode(target), SqliteErrorText(sqlite3_errcode(target), target)};
    int rc = SQLITE_OK;
    for (int attempt = 0; attempt < BusyRetries; ++attempt) {
        // All pages in one step: one read transaction, one consistent state.
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
            break;
        sqlite3_sleep(BusyPauseMs);
    }
    const int finished = sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        throw SqliteFailure{rc, SqliteErrorText(rc, target)};
    if (finished != SQLITE_OK)
        throw SqliteFailure{finished, SqliteErrorText(finished, target)};
}

QStringList integrityOf(sqlite3* db)
{
    QStringList lines;
    Statement check(db, QStringLiteral("pragma integrity_check"));
    while (check.step())
        lines << check.columnText(0);
    return lines;
}

QString existsText(const QString& file)
{
    return QStringLiteral("文件 %1 已存在").arg(QDir::toNativeSeparators(file));
}

}  // namespace

void BackupDatabase(TADOConnection& source, const QString& targetFile, const QString& password)
{
    const auto fail = [&](const QString& text) { RaiseDatabaseError(source.Name, text); };
    if (QFileInfo::exists(targetFile) || QFileInfo(targetFile).isSymLink())
        fail(existsText(targetFile));
    const QFileInfo target(targetFile);
    QTemporaryFile part(target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
    if (!part.open())
        fail(QStringLiteral("无法在 %1 中写入文件").arg(QDir::toNativeSeparators(target.absolutePath())));
    part.close();  // the empty file takes its key below; it is removed on every failure
    DatabaseWork(source.Name, [&] {
        {
            SqliteHandle copy = OpenWithKey(part.fileName(), SQLITE_OPEN_READWRITE, password);
            copyInto(source.Handle(), copy.get());
        }
        // The copy is judged as a fresh program would open it: with the key, from the disk.
        SqliteHandle reopened = OpenWithKey(part.fileName(), SQLITE_OPEN_READONLY, password);
        const QStringList lines = integrityOf(reopened.get());
        if (lines != QStringList{QStringLiteral("ok")})
            fail(QStringLiteral("副本检查未通过：%1").arg(lines.join(QStringLiteral("；"))));
    });
    // A hard link takes the name only if nobody has it: never a replaced file.
    if (const int error = AddName(part.fileName(), targetFile); error != 0) {
        if (error == EEXIST)
            fail(existsText(targetFile));
        fail(cannotWriteMessage(targetFile));
    }
    // The temporary name goes with `part`; the copy stays under the target's name.
}

QStringList IntegrityCheck(TADOConnection& connection)
{
    return DatabaseWork(connection.Name, [&] { return integrityOf(connection.Handle()); });
}
