#pragma once
// A record as the exports give it back: what an import wrote into 备注 under
// its labels ("邮箱:a@b.cn") and what it kept beside the record lifted out
// again as labelled values; a column cut to its width replaced by the whole
// text the import kept of it; 备注 reduced to the note itself.

#include "exchange/ContactDraft.h"

#include <QList>
#include <array>

struct ContactValues {
    std::array<QString, ContactTextCount> texts;  // whole texts; 备注 holds only what is no labelled value
    QList<DraftExtra> values;                     // the labelled values, in the order they were written

    const QString& text(ContactText column) const { return texts[static_cast<int>(column)]; }
};

ContactValues LiftValues(const StoredContact& contact);
