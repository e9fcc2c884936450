#include "FittedContacts.h"

#include "exchange/SpoolFile.h"
#include "exchange/SpoolText.h"

FittedContacts::FittedContacts(std::shared_ptr<SpoolFile> file) : file_(std::move(file)) {}

void FittedContacts::append(FittedContact contact)
{
    // Where the photo's bytes lie; -1 for no photo, -2 for one let go.
    const qint64 photoAt = contact.photo.letGo() ? -2 : contact.photo ? contact.photo.heldAt(file_) : -1;
    SpoolTextWriter out;
    out.addNumber(qint32(contact.line));
    out.add(contact.texts);
    out.add(contact.kept);
    out.add(contact.notes);
    out.addNumber(contact.cut);
    out.addNumber(photoAt);
    out.addNumber(contact.photo.size());
    const QByteArray& packed = out.bytes();
    held_.push_back({file_->append(packed), qint32(packed.size()), !contact.kept.isEmpty()});
}

FittedContact FittedContacts::at(qsizetype index) const
{
    const Held& held = held_[size_t(index)];
    const QByteArray packed = file_->read(held.offset, held.size);
    SpoolTextReader in(packed);
    FittedContact contact;
    contact.line = in.number();
    contact.texts = in.contactTexts();
    contact.kept = in.labelledValues();
    contact.notes = in.texts();
    contact.cut = in.number<bool>();
    const auto photoAt = in.number<qint64>();
    const auto photoSize = in.number<qint64>();
    if (photoAt >= 0)
        contact.photo = FittedPhoto(file_, photoAt, photoSize);
    else if (photoAt == -2)
        contact.photo = FittedPhoto::LetGo(photoSize);
    return contact;
}

bool FittedContacts::anyKept() const
{
    for (const Held& held : held_)
        if (held.kept)
            return true;
    return false;
}

FittedContacts FittedContacts::only(const std::vector<qsizetype>& places) const
{
    FittedContacts taken(file_);
    taken.held_.reserve(places.size());
    for (const qsizetype place : places)
        taken.held_.push_back(held_[size_t(place)]);
    return taken;
}
