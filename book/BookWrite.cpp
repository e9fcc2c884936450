#include "BookWrite.h"

#include "book/KeptValues.h"
#include "store/ContactSchema.h"
#include "store/SqliteHandle.h"

#include <QFile>
#include <algorithm>

void AddContacts(BookFile& book, const QList<FittedContact>& contacts, const std::function<bool(int, int)>& progress)
{
    if (contacts.isEmpty())
        return;
    TADOQuery& query = book.query;
    std::array<TField*, ContactTextCount> fields{};
    for (int i = 0; i < ContactTextCount; ++i)
        fields[i] = query.FieldByName(ContactTextColumns().at(i));
    TField* photo = query.FieldByName(PhotoColumn());

    sqlite3* db = book.connection.Handle();
    const bool keeps =
        std::any_of(contacts.begin(), contacts.end(), [](const FittedContact& c) { return !c.kept.isEmpty(); });
    InOneTransaction(book.connection, [&] {
        if (keeps)
            EnsureKeptTable(db);
        query.DisableControls();
        int written = 0;
        for (const FittedContact& contact : contacts) {
            query.Append();
            for (int i = 0; i < ContactTextCount; ++i)
                fields[i]->SetAsString(contact.texts[i]);
            if (contact.photo)
                photo->SetAsBytes(*contact.photo);
            query.Post();
            if (!contact.kept.isEmpty())
                AddKept(db, sqlite3_last_insert_rowid(db), contact.kept);
            if (progress && !progress(++written, int(contacts.size())))
                throw ImportCancelled();
        }
    });
    query.EnableControls();
}

NewBookGuard::~NewBookGuard()
{
    if (!path_.isEmpty())
        QFile::remove(path_);
}
