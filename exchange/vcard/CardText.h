#pragma once
// One card's text kept line by line as written, so that a card sent back to
// the server changes only the lines that had to change: the rest go out as
// the server had them, unknown properties and parameters included.

#include "exchange/vcard/VCardProperty.h"

#include <QByteArray>
#include <QList>

struct CardLine {
    QByteArray text;         // the unfolded line, "group.NAME;PARAMS:value"
    VCardProperty property;  // the same taken apart
};

// The card's logical lines in order, BEGIN and END included; lines that are no
// property are left out. Only the first card of the text is read.
QList<CardLine> SplitCard(const QByteArray& card);
// The lines as a card: CRLF, folded at 75 octets, never inside a character.
QByteArray JoinCard(const QList<CardLine>& lines);
// A line made from its head ("item1.TEL;TYPE=CELL") and its value as it must stand.
CardLine MakeCardLine(const QByteArray& head, const QByteArray& value);
// The head of a line: everything before the colon that starts its value.
QByteArray LineHead(const CardLine& line);

// The card as compared for a change: unfolded, each property's name and
// parameter names in upper case, PRODID and REV left out, the lines sorted.
// Servers re-sort, re-fold and re-case what they store; none of that is a change.
QByteArray NormalisedCard(const QByteArray& card);

// The card's UID, empty when it has none.
QByteArray CardUid(const QByteArray& card);
// Whether the card is an address book's group (X-ADDRESSBOOKSERVER-KIND:group,
// KIND:group), not a person.
bool IsGroupCard(const QByteArray& card);

// The properties of the lines, for the import's mapping.
QList<VCardProperty> PropertiesOf(const QList<CardLine>& lines);
