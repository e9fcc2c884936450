#include "CheckBook.h"

#include "book/BookFile.h"
#include "book/BookGate.h"
#include "store/Backup.h"
#include "store/KeptValues.h"

#include <QFileInfo>
#include <QLocale>

BookCheck CheckBook(const QString& path, BookRun* gate)
{
    BookCheck check;
    {
        TADOConnection connection(QStringLiteral("通讯录"));
        OpenBookConnection(connection, path);
        if (gate)
            UnlockBook(*gate, LoginCheck(connection));
        const QStringList problems = IntegrityCheck(connection);
        if (problems != QStringList{QStringLiteral("ok")}) {
            check.lines = problems;
            return check;
        }
    }
    BookFile book(path);
    check.sound = true;
    check.lines << QStringLiteral("完整性检查：正常") << QStringLiteral("联系人：%1 个").arg(book.query.RecordCount());
    // Values kept beside records leave with them; without their record they are of no use to anyone.
    const qint64 orphans = OrphanKeptCount(book.connection.Handle());
    if (orphans > 0)
        check.lines << QStringLiteral("另存的值：%1 个所属的联系人已不存在").arg(orphans);
    return check;
}

QStringList BookFileFacts(const QString& path)
{
    const QFileInfo info(path);
    const QFileDevice::Permissions others =
        QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    const auto permissions = info.permissions();
    int mode = 0;
    const std::pair<QFileDevice::Permission, int> bits[] = {
        {QFileDevice::ReadOwner, 0400}, {QFileDevice::WriteOwner, 0200}, {QFileDevice::ExeOwner, 0100},
        {QFileDevice::ReadGroup, 040},  {QFileDevice::WriteGroup, 020},  {QFileDevice::ExeGroup, 010},
        {QFileDevice::ReadOther, 04},   {QFileDevice::WriteOther, 02},   {QFileDevice::ExeOther, 01},
    };
    for (const auto& [permission, bit] : bits)
        if (permissions & permission)
            mode |= bit;
    const QString who =
        (permissions & others) ? QStringLiteral("其他用户也能读取，建议改为 600") : QStringLiteral("只有你能读写");
    return {QStringLiteral("文件：%1").arg(ShownPath(path)),
            QStringLiteral("大小：%1").arg(QLocale(QLocale::Chinese).formattedDataSize(info.size())),
            QStringLiteral("权限：%1（%2）").arg(mode, 3, 8, QChar(u'0')).arg(who)};
}
