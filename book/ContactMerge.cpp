#include "ContactMerge.h"

#include "exchange/ContactFitting.h"
#include "exchange/ContactIdentity.h"
#include "exchange/ContactLabels.h"

#include <QSet>

namespace {

const QString& noteLabel()
{
    return ContactTextColumn(ContactText::Note);
}

// How a value compares, by the identity rules the imports use.
QSet<QString> keysOf(const std::array<QString, ContactTextCount>& texts, const QList<DraftExtra>& values)
{
    const QStringList keys = HoldingsOf(texts, values, 0).values;
    return QSet<QString>(keys.begin(), keys.end());
}

QSet<QString> keysOf(const DraftExtra& value)
{
    return keysOf({}, {value});
}

// A record's values under their labels: the columns, then 备注's items.
QList<DraftExtra> labelledValues(const StoredContact& record)
{
    QList<DraftExtra> values;
    for (int i = 0; i < ContactTextCount; ++i) {
        const QString& text = record.texts[i];
        if (i != int(ContactText::Note)) {
            values.append({ContactTextColumns()[i], text});
            continue;
        }
        for (const QString& piece : text.split(NoteSeparator, Qt::SkipEmptyParts)) {
            const qsizetype colon = piece.indexOf(LabelSeparator);
            if (colon > 0)
                values.append({piece.left(colon).trimmed(), piece.mid(colon + 1).trimmed()});
            else
                values.append({noteLabel(), piece.trimmed()});
        }
    }
    return values;
}

}  // namespace

MergeChoice DefaultMergeChoice(const QList<StoredContact>& records)
{
    MergeChoice choice;
    const auto photo =
        std::find_if(records.begin(), records.end(), [](const StoredContact& r) { return !r.photo.isEmpty(); });
    choice.photo = photo == records.end() ? -1 : int(photo - records.begin());
    return choice;
}

MergeChoice FilledMergeChoice(const QList<StoredContact>& records)
{
    MergeChoice choice = DefaultMergeChoice(records);
    for (int i = 0; i < ContactTextCount; ++i) {
        const auto filled =
            std::find_if(records.begin(), records.end(), [i](const StoredContact& r) { return !r.texts[i].isEmpty(); });
        choice.texts[i] = filled == records.end() ? 0 : int(filled - records.begin());
    }
    return choice;
}

MergedContact MergeContacts(const QList<StoredContact>& records, const MergeChoice& choice, int noteWidth)
{
    const auto valid = [&](int place) { return place >= 0 && place < records.size(); };
    if (records.isEmpty() || !std::all_of(choice.texts.begin(), choice.texts.end(), valid)
        || (choice.photo != -1 && !valid(choice.photo)))
        throw Exception(QStringLiteral("合并的选择不在这些联系人之中"));
    MergedContact merged;
    for (int i = 0; i < ContactTextCount; ++i)
        merged.texts[i] = records[choice.texts[i]].texts[i];
    if (choice.photo >= 0)
        merged.photo = records[choice.photo].photo;
    QString& note = merged.texts[int(ContactText::Note)];
    QSet<QString> held = keysOf(merged.texts, records.first().kept);
    held.insert(u"姓名\x1f"_qs + merged.texts[int(ContactText::Name)]);
    // What the records keep aside stays kept aside with the one kept: it needs no room in 备注.
    for (const StoredContact& record : records)
        for (const DraftExtra& value : record.kept)
            held.unite(keysOf(value));
    // The values not picked, the first record's too, in the records' order.
    for (const StoredContact& record : records) {
        for (const DraftExtra& value : labelledValues(record)) {
            const QSet<QString> keys = keysOf(value);
            if (keys.isEmpty() || held.contains(keys))
                continue;
            held.unite(keys);
            const QString piece = value.label == noteLabel() ? value.value : value.label + LabelSeparator + value.value;
            const QString longer = note.isEmpty() ? piece : note + NoteSeparator + piece;
            if (CutToWidth(longer, noteWidth) == longer)
                note = longer;
            else
                merged.keptAside.append(value);
        }
    }
    return merged;
}
