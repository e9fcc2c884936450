#include "DraftSpool.h"

#include "exchange/SpoolFile.h"

#include <QDataStream>

DraftSpool::DraftSpool(std::shared_ptr<SpoolFile> file) : file_(std::move(file)) {}

void DraftSpool::take(ContactDraft&& draft)
{
    QByteArray texts;
    {
        QDataStream out(&texts, QIODevice::WriteOnly);
        for (const QString& text : draft.texts)
            out << text;
        out << qint32(draft.extras.size());
        for (const DraftExtra& extra : draft.extras)
            out << extra.label << extra.value;
        out << draft.leftOut << draft.said;
    }
    const qint64 offset = file_->append(texts);
    if (!draft.photo.isEmpty())
        file_->append(draft.photo);
    held_.push_back({offset, texts.size(), draft.photo.size(), draft.line});
    draft = ContactDraft();
}

void DraftSpool::take(DraftFailure&& failure)
{
    failures.append(std::move(failure));
}

ContactDraft DraftSpool::draft(int index) const
{
    const Held& held = held_[size_t(index)];
    const QByteArray bytes = file_->read(held.offset, held.textBytes + held.photoBytes);
    ContactDraft draft;
    draft.line = held.line;
    QDataStream in(bytes);
    for (QString& text : draft.texts)
        in >> text;
    qint32 extras = 0;
    in >> extras;
    draft.extras.reserve(extras);
    for (qint32 i = 0; i < extras; ++i) {
        DraftExtra extra;
        in >> extra.label >> extra.value;
        draft.extras.append(std::move(extra));
    }
    in >> draft.leftOut >> draft.said;
    if (held.photoBytes > 0)
        draft.photo = bytes.sliced(held.textBytes);
    return draft;
}

FittedPhoto DraftSpool::photo(int index) const
{
    const Held& held = held_[size_t(index)];
    return FittedPhoto(file_, held.offset + held.textBytes, held.photoBytes);
}
