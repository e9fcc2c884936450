#include "ContactIdentity.h"

#include "exchange/ContactLabels.h"
#include "exchange/PhoneNumber.h"
#include "store/ContactSchema.h"

#include <algorithm>
#include <vector>

namespace {

// "tel", "mail", or the label's base: as a view, for the key of every value.
QStringView kindOf(QStringView label)
{
    if (isPhoneLabel(label))
        return u"tel";
    if (isMailLabel(label))
        return u"mail";
    return LabelBaseView(label);
}

}  // namespace

QString ValueKind(const QString& label)
{
    const QStringView kind = kindOf(label);
    return kind.data() == label.constData() && kind.size() == label.size() ? label : kind.toString();
}

void AppendComparedValue(QStringView kind, QStringView value, QString& out)
{
    const QStringView v = value.trimmed();
    if (kind == u"tel") {
        const qsizetype start = out.size();
        AppendPhoneDigits(v, out);
        if (out.size() == start)
            out += v;
    } else if (kind == u"mail") {
        out += v.toString().toLower();
    } else {
        out += v;
    }
}

QString ValueKey(QStringView label, QStringView value)
{
    const QStringView kind = kindOf(label);
    QString key;
    key.reserve(kind.size() + 1 + value.size());  // one allocation for every key
    key += kind;
    key += u'\x1f';
    AppendComparedValue(kind, value, key);
    return key;
}

namespace {

const QString& noteLabel()
{
    return ContactTextColumn(ContactText::Note);
}

// 备注 is the record's own note and "label:value" items, joined with "；".
void visitNote(QStringView note, const std::function<void(QStringView, QStringView)>& visit)
{
    for (const QStringView piece : note.tokenize(NoteSeparator, Qt::SkipEmptyParts)) {
        const qsizetype colon = piece.indexOf(LabelSeparator);
        const QStringView value = colon > 0 ? piece.sliced(colon + 1) : piece;
        if (!value.trimmed().isEmpty())
            visit(colon > 0 ? piece.first(colon).trimmed() : QStringView(noteLabel()), value);
    }
}

}  // namespace

void VisitValues(const std::array<QString, ContactTextCount>& texts, const QList<DraftExtra>& kept,
                 const std::function<void(QStringView label, QStringView value)>& visit)
{
    for (int i = 0; i < ContactTextCount; ++i) {
        if (i == int(ContactText::Note))
            visitNote(texts[i], visit);
        else if (i != int(ContactText::Name) && !QStringView(texts[i]).trimmed().isEmpty())
            visit(ContactTextColumns()[i], texts[i]);
    }
    for (const DraftExtra& value : kept) {
        if (value.label == noteLabel())
            visitNote(value.value, visit);
        else if (!QStringView(value.value).trimmed().isEmpty())
            visit(value.label, value.value);
    }
}

ContactHoldings HoldingsOf(const std::array<QString, ContactTextCount>& texts, const QList<DraftExtra>& kept,
                           qsizetype photoSize)
{
    ContactHoldings holdings;
    holdings.name = texts[int(ContactText::Name)];
    const QString& name = ContactTextColumn(ContactText::Name);
    VisitValues(texts, kept, [&](QStringView label, QStringView value) {
        // A name cut to its column: the whole one is under the label 姓名.
        if (label == name && value.startsWith(holdings.name) && value.size() > holdings.name.size())
            holdings.name = value.toString();
        holdings.values.append(ValueKey(label, value));
    });
    if (photoSize > 0)
        holdings.values.append(u"photo\x1f"_qs + QString::number(photoSize));
    // Sorted and each once, a set that takes little room and is compared in one pass.
    std::sort(holdings.values.begin(), holdings.values.end());
    holdings.values.erase(std::unique(holdings.values.begin(), holdings.values.end()), holdings.values.end());
    holdings.values.squeeze();
    return holdings;
}

ContactHoldings CardHoldingsOf(const std::array<QString, ContactTextCount>& texts, const QList<DraftExtra>& kept,
                               qsizetype photoSize)
{
    ContactHoldings holdings = HoldingsOf(texts, kept, photoSize);
    static const QString phoneKind = PhoneKindLabel.toString() + QChar(0x1f),
                         addressKind = AddressKindLabel.toString() + QChar(0x1f);
    holdings.values.removeIf(
        [](const QString& key) { return key.startsWith(phoneKind) || key.startsWith(addressKind); });
    return holdings;
}

namespace {

// One string for a record's values rather than one each: an index of many
// records holds a fraction of the allocations. Each value follows its length
// (two code units), so any text packs and unpacks unchanged.
QString packed(const QStringList& values)
{
    QString pack;
    qsizetype size = 0;
    for (const QString& value : values)
        size += 2 + value.size();
    pack.reserve(size);
    for (const QString& value : values) {
        const auto length = quint32(value.size());
        pack += QChar(char16_t(length >> 16));
        pack += QChar(char16_t(length & 0xffff));
        pack += value;
    }
    return pack;
}

std::vector<QStringView> unpacked(const QString& pack)
{
    std::vector<QStringView> values;
    for (qsizetype at = 0; at + 2 <= pack.size();) {
        const qsizetype length = (qsizetype(pack[at].unicode()) << 16) | pack[at + 1].unicode();
        values.push_back(QStringView(pack).sliced(at + 2, length));
        at += 2 + length;
    }
    return values;
}

}  // namespace

void HoldingsIndex::add(ContactHoldings holdings, int number)
{
    byName_[holdings.name].append({packed(holdings.values), number});
}

int HoldingsIndex::holderOf(const ContactHoldings& card) const
{
    const auto found = byName_.constFind(card.name);
    if (found == byName_.constEnd())
        return -1;
    for (const Entry& entry : *found) {
        const std::vector<QStringView> held = unpacked(entry.values);
        if (std::includes(held.begin(), held.end(), card.values.begin(), card.values.end(),
                          [](QStringView a, QStringView b) { return a < b; }))
            return entry.number;
    }
    return -1;
}
