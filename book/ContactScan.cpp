#include "ContactScan.h"

#include "book/BookFile.h"
#include "store/ColumnInfo.h"
#include "store/ContactSchema.h"
#include "store/SqliteHandle.h"

namespace {

// Trimming as everywhere: characters up to 32 at both ends, which in UTF-8 are single bytes.
QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32)
        --end;
    return text.sliced(begin, end - begin);
}

QString selectTexts()
{
    QStringList columns;
    for (const QString& column : ContactTextColumns())
        columns << QuoteIdentifier(column);
    return QStringLiteral("select %1 from %2").arg(columns.join(QStringLiteral(", ")), ContactSchema::ContactTable());
}

}  // namespace

void ScanContacts(BookRun& run, const std::function<void(const ScannedContact&)>& visit)
{
    TADOConnection connection(QStringLiteral("通讯录"));
    OpenBookConnection(connection, run);
    try {
        Statement rows(connection.Handle(), selectTexts());
        ScannedContact contact;
        while (rows.step()) {
            for (int i = 0; i < ContactTextCount; ++i) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(rows.get(), i));
                contact.isNull[i] = text == nullptr;
                contact.texts[i] = trimmed(QByteArrayView(text, text ? sqlite3_column_bytes(rows.get(), i) : 0));
            }
            visit(contact);
        }
    } catch (const SqliteFailure& failure) {
        throw EDatabaseError(connection.Name + QStringLiteral(": ") + failure.text);
    }
}
