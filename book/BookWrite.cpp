#include "BookWrite.h"

#include "store/ContactSchema.h"

#include <QFile>

void AddContacts(BookFile& book, const QList<FittedContact>& contacts, const std::function<bool(int, int)>& progress)
{
    if (contacts.isEmpty())
        return;
    TADOQuery& query = book.query;
    std::array<TField*, ContactTextCount> fields{};
    for (int i = 0; i < ContactTextCount; ++i)
        fields[i] = query.FieldByName(ContactTextColumns().at(i));
    TField* photo = query.FieldByName(PhotoColumn());

    book.connection.BeginTrans();
    try {
        query.DisableControls();
        int written = 0;
        for (const FittedContact& contact : contacts) {
            query.Append();
            for (int i = 0; i < ContactTextCount; ++i)
                fields[i]->SetAsString(contact.texts[i]);
            if (contact.photo)
                photo->SetAsBytes(*contact.photo);
            query.Post();
            if (progress && !progress(++written, int(contacts.size())))
                throw ImportCancelled();
        }
        book.connection.CommitTrans();
        query.EnableControls();
    } catch (...) {
        book.connection.RollbackTrans();
        throw;
    }
}

NewBookGuard::~NewBookGuard()
{
    if (!path_.isEmpty())
        QFile::remove(path_);
}
