#pragma once
// When a card is already in the book: only when it brings nothing new. A
// record holds its whole name as written (never the cut one), every phone
// number (compared by digits, +86/0086 and separators aside), every e-mail
// address (in any case) and every other value, wherever the import put it:
// in its column, in 备注 under its label, or kept beside the record. A card
// is there when one record with the same whole name holds all of its values.
// The spreadsheet and the vCard imports share the rule.

#include "exchange/ContactDraft.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

struct ContactHoldings {
    QString name;        // the whole name as written
    QStringList values;  // every other value, as its kind and compared form; sorted, each once
};

// Every value a record holds, with its label, wherever it stands: its columns
// but 姓名, the note and the "label:value" items of 备注, and the values kept
// beside it. Blank values are left out.
void VisitValues(const std::array<QString, ContactTextCount>& texts, const QList<DraftExtra>& kept,
                 const std::function<void(QStringView label, QStringView value)>& visit);
// The kind a label gives its value: "tel" for phones, "mail", else the label without its bracketed kind.
QString ValueKind(const QString& label);
// A value as compared: its kind, \x1f, the value (phones by digits, mail in lower case).
QString ValueKey(QStringView label, QStringView value);
// The value part of that key, for a value whose label's kind is known,
// appended to out, which a caller comparing many values reuses.
void AppendComparedValue(QStringView kind, QStringView value, QString& out);

// What a record holds: its seven texts (trimmed), the values kept beside it,
// and the size of its photo (0 when none).
ContactHoldings HoldingsOf(const std::array<QString, ContactTextCount>& texts, const QList<DraftExtra>& kept,
                           qsizetype photoSize);

// What a card brings when the book is asked whether it holds it: its holdings
// without the kinds of the numbers and addresses of its columns (电话类别,
// 地址类别). They say how, not what: a record with the same values and no kind
// (typed in the window, imported before kinds were kept) holds the card.
ContactHoldings CardHoldingsOf(const std::array<QString, ContactTextCount>& texts, const QList<DraftExtra>& kept,
                               qsizetype photoSize);

// Records by their holdings; each has a number the caller gives (its place).
class HoldingsIndex {
public:
    void add(ContactHoldings holdings, int number);
    // The number of the first record added that holds all the card holds; -1 when none does.
    int holderOf(const ContactHoldings& card) const;

private:
    struct Entry {
        QString values;  // the sorted values packed into one string, each after its length
        int number;
    };
    QHash<QString, QList<Entry>> byName_;
};
