#include "ExportBook.h"

#include "book/AtomicSave.h"
#include "book/BookFile.h"

QString ExportBook(const QString& bookPath, const QString& target, const ExportFormat& format, BookRun* gate)
{
    BookFile book(bookPath, gate);
    const QList<StoredContact> contacts = book.contacts();
    SaveAtomically(target, [&](const QString& path) { format.write(path, contacts); });
    return QStringLiteral("已导出 %1 个联系人到 %2").arg(contacts.size()).arg(ShownPath(target));
}
