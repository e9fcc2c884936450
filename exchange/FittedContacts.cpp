#include "FittedContacts.h"

#include "exchange/SpoolFile.h"

#include <QDataStream>

FittedContacts::FittedContacts(std::shared_ptr<SpoolFile> file) : file_(std::move(file)) {}

void FittedContacts::append(FittedContact contact)
{
    const qint64 photoAt = contact.photo ? contact.photo.heldAt(file_) : -1;
    QByteArray packed;
    {
        QDataStream out(&packed, QIODevice::WriteOnly);
        out << qint32(contact.line);
        for (const QString& text : contact.texts)
            out << text;
        out << qint32(contact.kept.size());
        for (const DraftExtra& extra : contact.kept)
            out << extra.label << extra.value;
        out << contact.notes << contact.cut << photoAt << contact.photo.size();
    }
    held_.push_back({file_->append(packed), qint32(packed.size()), !contact.kept.isEmpty()});
}

FittedContact FittedContacts::at(qsizetype index) const
{
    const Held& held = held_[size_t(index)];
    QDataStream in(file_->read(held.offset, held.size));
    FittedContact contact;
    qint32 line = 0, kept = 0;
    in >> line;
    contact.line = line;
    for (QString& text : contact.texts)
        in >> text;
    in >> kept;
    contact.kept.reserve(kept);
    for (qint32 i = 0; i < kept; ++i) {
        DraftExtra extra;
        in >> extra.label >> extra.value;
        contact.kept.append(std::move(extra));
    }
    qint64 photoAt = -1, photoSize = 0;
    in >> contact.notes >> contact.cut >> photoAt >> photoSize;
    if (photoAt >= 0)
        contact.photo = FittedPhoto(file_, photoAt, photoSize);
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
