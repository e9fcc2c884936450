#pragma once
// Two sides that both changed since they last agreed, merged field by field:
// a field changed on one side takes that side's value; changed on both to
// different values, it is a conflict, and the contact is written on neither
// side until the person picks. The labelled values are a set: what either
// side added is added, what either side removed is removed, so they never
// conflict.

#include "sync/ContactFields.h"

#include <QHash>
#include <QList>
#include <QString>

// The fields a person picks between: the seven columns and the photo.
enum class SyncField { Category, Name, Birthday, Phone, QQ, Address, Note, Photo };
constexpr int SyncFieldCount = 8;
QString SyncFieldName(SyncField field);  // 类别 … 备注, 照片

enum class Side { Book, Server };

enum class FieldSource { Unchanged, Book, Server, Both, Conflict };

struct FieldMerge {
    ContactFields merged;  // the agreed fields (a conflict's field: the book's, for now)
    std::array<FieldSource, SyncFieldCount> sources{};
    bool valuesFromServer = false;  // the server added or removed labelled values
    bool valuesFromBook = false;    // the book did

    QList<SyncField> conflicts() const;
    // Whether the side must be written to hold the merged fields.
    bool changes(Side side) const;
};

// bookBase and serverBase: each side as it was when the two last agreed.
// choices: for a field in conflict, the side the person picked (absent: unpicked).
FieldMerge MergeFields(const ContactFields& bookBase, const ContactFields& book, const ContactFields& serverBase,
                       const ContactFields& server, const QHash<SyncField, Side>& choices = {});

// The field's value as the person sees it when choosing.
QString FieldText(const ContactFields& fields, SyncField field);
