#pragma once
// Fitting one draft to the book's narrow columns, the same for every format:
// a phone number that is too long loses its blanks, dashes, dots and brackets
// first; whatever still does not fit is cut to its width, and the whole
// original goes into 备注 as "姓名:…" while 备注 has room; the draft's further
// fields follow it there the same way. Every field cut or left out is named
// in the card's notes, so nothing is lost without a word.

#include "exchange/ContactDraft.h"

#include <QByteArray>
#include <QStringList>
#include <array>
#include <optional>

class TADOQuery;

// The widths of the seven text columns in table order, in characters.
using ColumnWidths = std::array<int, ContactTextCount>;

// The widths as the engine declares them on the open query over the contact
// table. Raises EDatabaseError when a column is missing.
ColumnWidths ContactWidths(TADOQuery& query);

struct FittedContact {
    int line = 0;
    std::array<QString, ContactTextCount> texts;  // trimmed, each within its width
    std::optional<QByteArray> photo;              // the JPEG bytes to store, or no photo
    QStringList notes;                            // "电话 截断为 15 个字符，原文记入备注", ...
    bool cut = false;                             // a field was cut or left out

    const QString& text(ContactText column) const { return texts[static_cast<int>(column)]; }
};

FittedContact FitDraft(const ContactDraft& draft, const ColumnWidths& widths);

// A phone number without blanks, dashes, dots and brackets.
QString WithoutPhoneSeparators(const QString& phone);
// The text cut to width characters (a character outside the basic plane counts once).
QString CutToWidth(const QString& text, int width);
// How 备注 joins the note and what flows into it.
inline constexpr char16_t NoteSeparator = u'；';
