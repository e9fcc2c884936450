#include "FieldMerge.h"

#include "exchange/ContactIdentity.h"

#include <QSet>

namespace {

bool isPhoto(SyncField field)
{
    return field == SyncField::Photo;
}

const QString& columnValue(const ContactFields& fields, SyncField field)
{
    return fields.texts[static_cast<int>(field)];
}

bool sameField(const ContactFields& a, const ContactFields& b, SyncField field)
{
    return isPhoto(field) ? a.photo == b.photo : columnValue(a, field) == columnValue(b, field);
}

void takeField(ContactFields& to, const ContactFields& from, SyncField field)
{
    if (isPhoto(field))
        to.photo = from.photo;
    else
        to.texts[static_cast<int>(field)] = columnValue(from, field);
}

QString keyOf(const DraftExtra& value)
{
    return value.label + QChar(0x1f) + value.value;
}

QSet<QString> keysOf(const QList<DraftExtra>& values)
{
    QSet<QString> keys;
    for (const DraftExtra& value : values)
        keys.insert(keyOf(value));
    return keys;
}

}  // namespace

QString SyncFieldName(SyncField field)
{
    if (isPhoto(field))
        return QStringLiteral("照片");
    return ContactTextColumns()[static_cast<int>(field)];
}

QString FieldText(const ContactFields& fields, SyncField field)
{
    if (isPhoto(field))
        return fields.photo.isEmpty() ? QString()
                                      : QStringLiteral("照片 %1").arg(QString::fromLatin1(fields.photo.left(8)));
    return columnValue(fields, field);
}

QList<SyncField> FieldMerge::conflicts() const
{
    QList<SyncField> fields;
    for (int i = 0; i < SyncFieldCount; ++i)
        if (sources[size_t(i)] == FieldSource::Conflict)
            fields << SyncField(i);
    return fields;
}

bool FieldMerge::changes(Side side) const
{
    const FieldSource other = side == Side::Book ? FieldSource::Server : FieldSource::Book;
    for (FieldSource source : sources)
        if (source == other)
            return true;
    return side == Side::Book ? valuesFromServer : valuesFromBook;
}

FieldMerge MergeFields(const ContactFields& bookBase, const ContactFields& book, const ContactFields& serverBase,
                       const ContactFields& server, const QHash<SyncField, Side>& choices)
{
    FieldMerge result;
    result.merged = book;
    for (int i = 0; i < SyncFieldCount; ++i) {
        const SyncField field = SyncField(i);
        const bool bookChanged = !sameField(book, bookBase, field);
        const bool serverChanged = !sameField(server, serverBase, field);
        FieldSource& source = result.sources[size_t(i)];
        if (bookChanged && serverChanged && !sameField(book, server, field)) {
            const auto choice = choices.constFind(field);
            source = choice == choices.constEnd() ? FieldSource::Conflict
                     : *choice == Side::Book      ? FieldSource::Book
                                                  : FieldSource::Server;
        } else if (bookChanged && serverChanged) {
            source = FieldSource::Both;
        } else if (bookChanged) {
            source = FieldSource::Book;
        } else if (serverChanged) {
            source = FieldSource::Server;
        }
        if (source == FieldSource::Server)
            takeField(result.merged, server, field);
    }
    // The values: the book's, less what the server removed, with what it added.
    const QSet<QString> serverNow = keysOf(server.values);
    const QSet<QString> serverWas = keysOf(serverBase.values);
    const QSet<QString> bookNow = keysOf(book.values);
    const QSet<QString> bookWas = keysOf(bookBase.values);
    QList<DraftExtra> values;
    for (const DraftExtra& value : book.values) {
        const QString key = keyOf(value);
        if (!(serverWas.contains(key) && !serverNow.contains(key)))
            values << value;
    }
    QSet<QString> present = keysOf(values);
    for (const DraftExtra& value : server.values) {
        const QString key = keyOf(value);
        const bool bookRemoved = bookWas.contains(key) && !bookNow.contains(key);
        if (!serverWas.contains(key) && !present.contains(key) && !bookRemoved) {
            values << value;
            present.insert(key);
        }
    }
    // Only a side that changed its values makes the other one write: the two
    // may lay the same values out a little differently, which is no change.
    result.valuesFromBook = bookNow != bookWas && present != serverNow;
    result.valuesFromServer = serverNow != serverWas && present != bookNow;
    result.merged.values = values;
    return result;
}
