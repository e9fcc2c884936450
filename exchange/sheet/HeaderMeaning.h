#pragma once
// What a spreadsheet's column header means for the book: one of our own seven
// column names, or a column of the contact exports of Google Contacts and
// Outlook, or a few common Chinese names. Headers match with ASCII case and
// surrounding blanks ignored.

#include "exchange/ContactDraft.h"

#include <QString>

enum class HeaderRole {
    Column,      // a candidate for one of the seven columns; the lowest rank wins
    NameFamily,  // parts of the name, put together when no whole name is given
    NameMiddle,
    NameGiven,
    AddressPart,  // parts of one address, put together when it has no whole text
    Groups,       // a list of groups: the first one is the category
    Extra,        // no column: the value goes into the note under the label
    Ignored,      // says nothing of its own (a phone's type, Outlook's defaults)
    Unknown,      // not a header we know: kept as an extra under the header itself
};

enum class AddressPart { Country, Region, Locality, Street, PostalCode };

struct HeaderMeaning {
    HeaderRole role = HeaderRole::Unknown;
    ContactText column = ContactText::Note;  // for Column
    int rank = 0;                            // for Column: which candidate wins; for AddressPart: which address
    AddressPart part = AddressPart::Street;  // for AddressPart
    QString label;                           // for Extra, and for a losing Column candidate
    QString defaultValue;                    // a value that means nothing (Outlook's "Normal"), dropped
    bool list = false;                       // several values in one cell, separated by " ::: "
};

HeaderMeaning headerMeaning(const QString& header);
