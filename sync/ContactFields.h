#pragma once
// A contact as the sync compares its two sides: the seven texts with 备注
// holding only the note itself, the labelled values wherever the book keeps
// them (in 备注 or beside the record), and the photo. A record and a card
// with equal fields hold the same, however each lays them out.

#include "exchange/ContactDraft.h"
#include "exchange/ContactFitting.h"

#include <QByteArray>
#include <QList>
#include <array>

struct ContactFields {
    std::array<QString, ContactTextCount> texts;
    QList<DraftExtra> values;
    QByteArray photo;  // the stored JPEG's digest, empty when there is none

    const QString& text(ContactText column) const { return texts[static_cast<int>(column)]; }
    bool operator==(const ContactFields&) const = default;
};

QByteArray PhotoDigest(const QByteArray& jpeg);

ContactFields FieldsOfRecord(const StoredContact& record);

// The card as an import stores it: mapped as the vCard import maps a card,
// fitted to the book's columns. Raises ExchangeError when the text is no card.
StoredContact RecordOfCard(const QByteArray& card, const ColumnWidths& widths);
ContactFields FieldsOfCard(const QByteArray& card, const ColumnWidths& widths);

// A record holding the fields, laid out as an import lays out a card's
// values (those 备注 has no room for kept beside it); photo: the JPEG bytes.
StoredContact RecordOfFields(const ContactFields& fields, const QByteArray& photo, const ColumnWidths& widths);

// The fields as the status table keeps them, and back.
QByteArray PackFields(const ContactFields& fields);
ContactFields UnpackFields(const QByteArray& packed);

// What tells a record changed since the last sync: its texts, kept values and photo.
QByteArray SyncDigest(const StoredContact& record, const QByteArray& photoDigest);
