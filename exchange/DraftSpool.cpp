#include "DraftSpool.h"

#include "exchange/SpoolFile.h"
#include "exchange/SpoolText.h"

DraftSpool::DraftSpool(std::shared_ptr<SpoolFile> file) : file_(std::move(file)) {}

void DraftSpool::take(ContactDraft&& draft)
{
    SpoolTextWriter out;
    out.add(draft.texts);
    out.add(draft.extras);
    out.add(draft.leftOut);
    out.add(draft.said);
    const qint64 offset = file_->append(out.bytes());
    if (!draft.photo.isEmpty())
        file_->append(draft.photo);
    held_.push_back({offset, out.bytes().size(), draft.photo.size(), draft.line});
    draft = ContactDraft();
}

void DraftSpool::take(DraftFailure&& failure)
{
    failures.append(std::move(failure));
}

ContactDraft DraftSpool::draft(int index) const
{
    const Held& held = held_[size_t(index)];
    const QByteArray bytes = file_->read(held.offset, held.textBytes);
    ContactDraft draft;
    draft.line = held.line;
    SpoolTextReader in(bytes);
    draft.texts = in.contactTexts();
    draft.extras = in.labelledValues();
    // The few labels of a file, shared by its cards, rather than one copy per card a plan holds.
    for (DraftExtra& extra : draft.extras) {
        const auto known = labels_.constFind(extra.label);
        if (known != labels_.constEnd())
            extra.label = *known;
        else
            labels_.insert(extra.label);
    }
    draft.leftOut = in.texts();
    draft.said = in.texts();
    if (held.photoBytes > 0)
        draft.photo = file_->read(held.offset + held.textBytes, held.photoBytes);
    return draft;
}

FittedPhoto DraftSpool::photo(int index) const
{
    const Held& held = held_[size_t(index)];
    return FittedPhoto(file_, held.offset + held.textBytes, held.photoBytes);
}
