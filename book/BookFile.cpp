#include "BookFile.h"

#include "book/BookGate.h"
#include "exchange/KeptExtras.h"
#include "platform/Trim.h"
#include "store/ContactSchema.h"
#include "store/DbHelpers.h"
#include "store/KeptValues.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString ShownPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

void OpenBookConnection(TADOConnection& connection, const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        throw EDatabaseError(QStringLiteral("找不到通讯录 %1").arg(ShownPath(path)));
    // The helpers answer only true or false; opening once more raises the reason.
    if (!OpenJetDatabase(connection, path, ContactSchema::DatabasePassword()))
        connection.Open();
}

void OpenBookConnection(TADOConnection& connection, BookRun& run)
{
    OpenBookConnection(connection, run.database);
    UnlockBook(run, LoginCheck(connection));
}

BookFile::BookFile(const QString& path, BookRun* gate)
{
    OpenBookConnection(connection, path);
    if (gate)
        UnlockBook(*gate, LoginCheck(connection));
    query.Connection = &connection;
    if (!OpenTable(query, ContactSchema::ContactTable()))
        query.Open();
    for (int i = 0; i < ContactTextCount; ++i) {
        const QString& name = ContactTextColumns().at(i);
        query.FieldByName(name);  // raises for a missing column
        for (int field = 0; field < query.FieldCount(); ++field)
            if (query.Fields(field)->FieldName == name)
                columns_[i] = field;
    }
}

QList<ContactTexts> BookFile::texts() const
{
    QList<ContactTexts> all;
    const int count = query.RecordCount();
    all.reserve(count);
    for (int row = 0; row < count; ++row) {
        ContactTexts texts;
        for (int column = 0; column < ContactTextCount; ++column)
            texts[column] = TrimControl(query.DisplayText(row, columns_[column]));
        all.push_back(std::move(texts));
    }
    return all;
}

QList<StoredContact> BookFile::contacts()
{
    QList<StoredContact> all;
    const QList<ContactTexts> texts = this->texts();
    all.reserve(texts.size());
    TField* photo = query.FieldByName(PhotoColumn());
    const QHash<qint64, QList<DraftExtra>> kept = KeptByRecord(ReadKept(connection.Handle()));
    const QList<qint64> rowids = kept.isEmpty() ? QList<qint64>() : RecordRowids(connection.Handle());
    int row = 0;
    for (query.First(); !query.Eof(); query.Next()) {
        StoredContact contact;
        if (row < rowids.size())
            contact.kept = kept.value(rowids[row]);
        contact.texts = texts[row++];
        if (!photo->IsNull())
            contact.photo = photo->AsBytes();
        all.push_back(std::move(contact));
    }
    return all;
}

void CreateBook(const QString& path)
{
    TADOConnection connection(QStringLiteral("通讯录"));
    CreateBook(path, connection);
}

void CreateBook(const QString& path, TADOConnection& connection)
{
    // The table is made before the file takes the book's name: a window
    // starting meanwhile finds a whole book.
    if (!CreateJetDatabase(path, ContactSchema::DatabasePassword(), {ContactSchema::CreateContactTable()}))
        throw EDatabaseError(QStringLiteral("无法创建通讯录 %1").arg(ShownPath(path)));
    try {
        if (!OpenJetDatabase(connection, path, ContactSchema::DatabasePassword()))
            throw EDatabaseError(QString());
        AddFactoryLoginRow(connection);
    } catch (const Exception&) {
        connection.Close();
        QFile::remove(path);
        throw EDatabaseError(QStringLiteral("无法创建通讯录 %1").arg(ShownPath(path)));
    }
}
