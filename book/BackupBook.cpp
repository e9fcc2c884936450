#include "BackupBook.h"

#include "book/AtomicSave.h"
#include "book/BookFile.h"
#include "book/BookGate.h"
#include "book/CheckBook.h"
#include "book/HeldBook.h"
#include "store/Backup.h"
#include "store/ContactSchema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString BackupTimeFormat = QStringLiteral("yyyyMMdd-HHmmss");

int countContacts(const QString& path)
{
    TADOConnection connection(QStringLiteral("备份"));
    OpenBookConnection(connection, path);
    TADOQuery count(QStringLiteral("备份"));
    count.Connection = &connection;
    count.SQL.append(QStringLiteral("select count(*) from %1").arg(ContactSchema::ContactTable()));
    count.Open();
    return count.Fields(0)->AsString().toInt();
}

void copyBytes(const QString& from, const QString& to)
{
    QFile source(from);
    QFile target(to);
    if (!source.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ExchangeError(QStringLiteral("无法复制 %1").arg(ShownPath(from)));
    while (!source.atEnd()) {
        const QByteArray block = source.read(1 << 20);
        if (block.isEmpty() && source.error() != QFileDevice::NoError)
            throw ExchangeError(QStringLiteral("无法读取 %1").arg(ShownPath(from)));
        if (target.write(block) != block.size())
            throw ExchangeError(QStringLiteral("无法写入 %1").arg(ShownPath(to)));
    }
}

}  // namespace

QString DefaultBackupPath(const QString& book, const QDateTime& when)
{
    return QFileInfo(book).absoluteDir().filePath(QStringLiteral("Kalvo-%1.mdb").arg(when.toString(BackupTimeFormat)));
}

QString FreeBackupPath(const QString& book, const QDateTime& when)
{
    const QString first = DefaultBackupPath(book, when);
    QString path = first;
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = first.chopped(4) + QStringLiteral("-%1.mdb").arg(n);
    return path;
}

QString BackupBook(const QString& book, const QString& target, BookRun* gate)
{
    {
        TADOConnection source(QStringLiteral("通讯录"));
        OpenBookConnection(source, book);
        if (gate)
            UnlockBook(*gate, LoginCheck(source));
        BackupDatabase(source, target, ContactSchema::DatabasePassword());
    }
    const int count = BookFile(target).query.RecordCount();
    return QStringLiteral("已备份到 %1：检查正常，%2 个联系人").arg(ShownPath(target)).arg(count);
}

QList<BackupEntry> BackupsBeside(const QString& book)
{
    const QDir folder = QFileInfo(book).absoluteDir();
    const QString self = QFileInfo(book).absoluteFilePath();
    QList<BackupEntry> entries;
    for (const QFileInfo& file : folder.entryInfoList({QStringLiteral("Kalvo-*.mdb")}, QDir::Files, QDir::Name)) {
        if (file.absoluteFilePath() == self)
            continue;
        BackupEntry entry;
        entry.path = file.absoluteFilePath();
        entry.size = file.size();
        entry.when = QDateTime::fromString(file.completeBaseName().mid(6, 15), BackupTimeFormat);
        if (!entry.when.isValid())
            entry.when = file.lastModified();
        try {
            entry.contacts = countContacts(entry.path);
        } catch (const Exception&) {
            entry.contacts = -1;
        }
        entries << entry;
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const BackupEntry& a, const BackupEntry& b) { return a.when > b.when; });
    return entries;
}

QStringList RestoreBackup(const QString& book, const QString& backup)
{
    RefuseWhileHeld(book, QStringLiteral("恢复"));
    const BookCheck chosen = CheckBook(backup);
    if (!chosen.sound)
        throw ExchangeError(QStringLiteral("备份 %1 已损坏，不能恢复").arg(ShownPath(backup)));

    QStringList lines;
    if (QFileInfo::exists(book))
        lines << BackupBook(book, FreeBackupPath(book, QDateTime::currentDateTime()));
    // A journal left by a program that stopped mid-write belongs to the old file: never to the restored one.
    if (QFileInfo::exists(book + QStringLiteral("-journal")))
        throw ExchangeError(QStringLiteral("通讯录旁有未完成的日志文件 %1，不能恢复")
                                .arg(ShownPath(book + QStringLiteral("-journal"))));
    const QFile::Permissions mode = QFileInfo::exists(book) ? QFile::permissions(book) : QFile::Permissions();
    SaveAtomically(book, [&](const QString& path) { copyBytes(backup, path); });
    if (mode)
        QFile::setPermissions(book, mode);

    const BookCheck restored = CheckBook(book);
    if (!restored.sound)
        throw ExchangeError(QStringLiteral("恢复后的通讯录检查未通过：%1").arg(restored.lines.join(u'；')));
    lines << QStringLiteral("已从 %1 恢复通讯录：%2").arg(ShownPath(backup), restored.lines.join(QStringLiteral("，")));
    return lines;
}
