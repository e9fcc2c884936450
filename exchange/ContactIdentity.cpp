#include "ContactIdentity.h"

#include "exchange/ContactLabels.h"
#include "exchange/PhoneNumber.h"
#include "store/ContactSchema.h"

#include <algorithm>

namespace {

// The compared form of a value under its label: phones by digits, mail in lower case.
QString valueKey(const QString& label, const QString& value)
{
    const QString v = value.trimmed();
    if (isPhoneLabel(label)) {
        const QString digits = PhoneDigits(v);
        return u"tel\x1f"_qs + (digits.isEmpty() ? v : digits);
    }
    if (isMailLabel(label))
        return u"mail\x1f"_qs + v.toLower();
    return LabelBase(label) + u'\x1f' + v;
}

class Collector {
public:
    explicit Collector(ContactHoldings& holdings) : h_(holdings) {}

    void add(const QString& label, const QString& value)
    {
        if (value.trimmed().isEmpty())
            return;
        // A name cut to its column: the whole one is under the label 姓名.
        if (label == name() && value.startsWith(h_.name) && value.size() > h_.name.size())
            h_.name = value;
        h_.values.append(valueKey(label, value));
    }

    // 备注 is the record's own note and "label:value" items, joined with "；".
    void addNote(const QString& note)
    {
        for (const QString& piece : note.split(NoteSeparator, Qt::SkipEmptyParts)) {
            const qsizetype colon = piece.indexOf(LabelSeparator);
            if (colon > 0)
                add(piece.left(colon).trimmed(), piece.mid(colon + 1));
            else
                add(ContactTextColumns()[int(ContactText::Note)], piece);
        }
    }

private:
    static const QString& name() { return ContactTextColumns()[int(ContactText::Name)]; }
    ContactHoldings& h_;
};

}  // namespace

ContactHoldings HoldingsOf(const std::array<QString, ContactTextCount>& texts, const QList<DraftExtra>& kept,
                           qsizetype photoSize)
{
    ContactHoldings holdings;
    holdings.name = texts[int(ContactText::Name)];
    Collector collect(holdings);
    for (int i = 0; i < ContactTextCount; ++i) {
        if (i == int(ContactText::Note))
            collect.addNote(texts[i]);
        else if (i != int(ContactText::Name))
            collect.add(ContactTextColumns()[i], texts[i]);
    }
    for (const DraftExtra& value : kept) {
        if (value.label == ContactTextColumns()[int(ContactText::Note)])
            collect.addNote(value.value);
        else
            collect.add(value.label, value.value);
    }
    if (photoSize > 0)
        holdings.values.append(u"photo\x1f"_qs + QString::number(photoSize));
    // Sorted and each once, a set that takes little room and is compared in one pass.
    std::sort(holdings.values.begin(), holdings.values.end());
    holdings.values.erase(std::unique(holdings.values.begin(), holdings.values.end()), holdings.values.end());
    holdings.values.squeeze();
    return holdings;
}

void HoldingsIndex::add(ContactHoldings holdings, int number)
{
    byName_[holdings.name].append({std::move(holdings.values), number});
}

int HoldingsIndex::holderOf(const ContactHoldings& card) const
{
    const auto found = byName_.constFind(card.name);
    if (found == byName_.constEnd())
        return -1;
    for (const Entry& entry : *found) {
        if (std::includes(entry.values.begin(), entry.values.end(), card.values.begin(), card.values.end()))
            return entry.number;
    }
    return -1;
}
