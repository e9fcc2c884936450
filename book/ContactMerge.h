#pragma once
// Several records of one person made one. For each column the person picks
// whose value stays (by default the first record's); every other value of the
// records that the result does not already hold (compared as imports compare
// them: phones by digits, mail in any case) goes into its 备注 as
// "label:value", or, when 备注 has no room left, among the values kept aside.
// The photo is the one picked; by default the first record's, or the first
// photo of the others when it has none.

#include "exchange/ContactDraft.h"

#include <array>

// Whose value stays, as places in the records merged (0: the first, which is kept).
struct MergeChoice {
    std::array<int, ContactTextCount> texts{};
    int photo = -1;  // -1: no photo
};

// The first record's values, and the first photo among the records.
MergeChoice DefaultMergeChoice(const QList<StoredContact>& records);
// The same, but where the first record has no value, the first value among the others:
// where a person starts picking.
MergeChoice FilledMergeChoice(const QList<StoredContact>& records);

struct MergedContact {
    std::array<QString, ContactTextCount> texts;  // the kept record's texts: the ones picked, 备注 with what came in
    QByteArray photo;                             // the photo picked
    QList<DraftExtra> keptAside;                  // what 备注 had no room for

    const QString& note() const { return texts[int(ContactText::Note)]; }
};

// records: the kept one first; a choice out of their range raises Exception.
MergedContact MergeContacts(const QList<StoredContact>& records, const MergeChoice& choice, int noteWidth);
