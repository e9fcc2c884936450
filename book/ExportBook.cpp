#include "ExportBook.h"

#include "book/AtomicSave.h"
#include "book/BookFile.h"

QString ExportBook(const QString& bookPath, const QString& target, const ExportFormat& format, BookRun* gate,
                   const QString& leftOutListed)
{
    BookFile book(bookPath, gate);
    const QList<StoredContact> contacts = book.contacts();
    SaveAtomically(target, [&](const QString& path) { format.write(path, contacts); });
    const QString written =
        format.written ? format.written(contacts, leftOutListed) : QStringLiteral("%1 个联系人").arg(contacts.size());
    return QStringLiteral("已导出 %1到 %2").arg(written, ShownPath(target));
}
