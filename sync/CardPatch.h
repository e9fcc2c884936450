#pragma once
// A card on the server changed only where the book changed: the lines that
// hold a changed field are rewritten or removed, new values get lines of
// their own as the export writes them, and every other line (further numbers,
// labels, phonetic names, unknown properties and their parameters) goes back
// exactly as the server had it. A card is never rebuilt from the columns.

#include "sync/FieldMerge.h"

#include <QByteArray>
#include <QDateTime>

struct CardChanges {
    QList<SyncField> fields;  // the fields to give the target's value
    bool values = false;      // the labelled values to make as the target's
    QByteArray photo;         // the JPEG to send when the photo is among the fields
};

// card: the server's text; cardFields: its fields as the book reads them;
// target: the fields it must hold after. REV is set to now.
QByteArray PatchCard(const QByteArray& card, const ContactFields& cardFields, const ContactFields& target,
                     const CardChanges& changes, const QDateTime& now = QDateTime::currentDateTimeUtc());

// A new card for a record: the export's card with its UID, REV and PRODID.
QByteArray NewCard(const StoredContact& record, const QByteArray& uid,
                   const QDateTime& now = QDateTime::currentDateTimeUtc());

// The program's PRODID value.
QByteArray SyncProductId();
