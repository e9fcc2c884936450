#pragma once
// Fitting one draft to the book's narrow columns, the same for every format:
// 电话 holds one whole number or stays empty (PhoneNumber.h), the other
// columns are cut to their width; the whole original of what was cut or not
// taken goes into 备注 as "电话:…" while 备注 has room, and the draft's further
// fields follow it there the same way. What 备注 has no room for is kept
// beside the record. Every field cut or kept aside is named in the card's
// notes, so nothing is lost without a word.

#include "exchange/ContactDraft.h"
#include "exchange/ContactLabels.h"
#include "exchange/FittedPhoto.h"
#include "exchange/PhoneNumber.h"

#include <QByteArray>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

class TADOQuery;
struct ColumnInfo;

// The widths of the seven text columns in table order, in characters.
using ColumnWidths = std::array<int, ContactTextCount>;

// The widths as the engine declares them on the open query over the contact
// table. Raises EDatabaseError when a column is missing.
ColumnWidths ContactWidths(TADOQuery& query);
// The same as a list of described columns declares them (a missing column: 0, no width).
ColumnWidths ContactWidths(const std::vector<ColumnInfo>& columns);

struct FittedContact {
    int line = 0;
    std::array<QString, ContactTextCount> texts;  // trimmed, each within its width
    FittedPhoto photo;                            // the JPEG bytes to store, or no photo
    QList<DraftExtra> kept;                       // what neither the columns nor 备注 hold: kept beside the record
    QStringList notes;                            // "电话 截断为 15 个字符，原文记入备注", ...
    bool cut = false;                             // a column holds less than the card gave, or a value was lost

    const QString& text(ContactText column) const { return texts[static_cast<int>(column)]; }
};

FittedContact FitDraft(const ContactDraft& draft, const ColumnWidths& widths);

// The text cut to width characters (a character outside the basic plane counts once).
QString CutToWidth(const QString& text, int width);
