#pragma once
// Several records of one person made one: the kept record keeps its values;
// each value of the others it does not already hold (compared as imports
// compare them: phones by digits, mail in any case) goes into its 备注 as
// "label:value", or, when 备注 has no room left, among the values kept aside.
// The kept record takes the first photo of the others when it has none.

#include "exchange/ContactDraft.h"

struct MergedContact {
    QString note;                 // the kept record's 备注 with what came in
    QByteArray photo;             // its photo, or the one taken from the others
    QList<DraftExtra> keptAside;  // what 备注 had no room for
};

MergedContact MergeContacts(const StoredContact& kept, const QList<StoredContact>& others, int noteWidth);
