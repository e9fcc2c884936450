#pragma once
// What a spreadsheet's column header means for the book. One table serves every
// sheet reader (CSV, .xls, .xlsx): our own seven column names; the columns of
// the contact exports of Chinese and English Outlook, Chinese and English
// Thunderbird and Google Contacts; the names Chinese users type or get from
// office templates, mail and chat programs; and the Traditional Chinese ones.
// Headers match with ASCII case ignored, runs of blanks as one, and no blank
// needed beside a Chinese character ("商务电话 2" is "商务电话2"); docs/formats.md
// lists them.

#include "exchange/ContactDraft.h"

#include <QString>
#include <QStringList>

enum class HeaderRole {
    Column,      // a candidate for one of the seven columns; the lowest rank wins
    NameFamily,  // parts of the name, put together when no whole name is given
    NameMiddle,
    NameGiven,
    AddressPart,   // parts of one address, put together when it has no whole text
    BirthdayPart,  // year, month and day in columns of their own
    Groups,        // a list of groups: the first one is the category
    Extra,         // no column: the value goes into the note under the label
    Ignored,       // says nothing of its own (a row's number, a phone's type)
    Unknown,       // not a header we know: kept as an extra under the header itself
};

enum class AddressPart { Country, Region, Locality, Street, PostalCode };
enum class DatePart { Year, Month, Day };

// An address part whose header names no place ("城市" in Thunderbird's export)
// belongs to the address whose columns stand left of it.
inline constexpr int kAddressOfTheColumnsBefore = -1;

struct HeaderMeaning {
    HeaderRole role = HeaderRole::Unknown;
    ContactText column = ContactText::Note;  // for Column
    int rank = 0;                            // for Column: which candidate wins; for AddressPart: which address
    AddressPart part = AddressPart::Street;  // for AddressPart
    DatePart datePart = DatePart::Year;      // for BirthdayPart
    QString label;                           // for Extra and Unknown, and for a losing Column candidate
    bool list = false;                       // several values in one cell, separated by " ::: "
    // A given name that is the whole name when the sheet has no family-name
    // column (名字 means the given name only beside 姓氏).
    bool wholeNameAlone = false;

    // A column whose values are people's names, where a filler word is a name.
    bool holdsNames() const;
};

HeaderMeaning headerMeaning(const QString& header);

// The key a header is found under: ASCII lower case, blanks as one, and none
// beside a Chinese character ("商务电话 2" is "商务电话2"; "Birth Day" stays
// apart from "Birthday").
QString headerKey(const QString& header);

// Every fixed header the table knows, as docs/formats.md lists them (Google's
// numbered columns such as "Phone 2 - Value" are patterns, not listed).
QStringList knownHeaders();

// Values Outlook writes into every row for "nothing" (普通, 中, 未指定, False,
// 0/0/00, 0:00:00 and their English forms): empty outside the name columns.
bool isFillerValue(const QString& trimmed);
