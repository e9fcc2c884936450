#include "HeldBook.h"

#include "exchange/ContactDraft.h"
#include "platform/OtherHolders.h"

void RefuseWhileHeld(const QString& book, const QString& change)
{
    const QList<qint64> holders = OtherHolders(book);
    if (holders.isEmpty())
        return;
    const qint64 pid = holders.first();
    const QString name = ProcessName(pid);
    const QString holder =
        name.isEmpty() ? QStringLiteral("进程 %1").arg(pid) : QStringLiteral("%1，进程 %2").arg(name).arg(pid);
    throw ExchangeError(
        QStringLiteral("通讯录正被其他程序打开（%1）：请先关闭 Tessaly 窗口等程序，再%2").arg(holder, change));
}
