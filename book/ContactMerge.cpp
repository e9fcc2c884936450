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

MergedContact MergeContacts(const StoredContact& kept, const QList<StoredContact>& others, int noteWidth)
{
    MergedContact merged{kept.text(ContactText::Note), kept.photo, {}};
    QSet<QString> held = keysOf(kept.texts, kept.kept);
    held.insert(u"姓名\x1f"_qs + kept.text(ContactText::Name));
    // What the others keep aside moves with them: it needs no room in 备注.
    for (const StoredContact& other : others)
        for (const DraftExtra& value : other.kept)
            held.unite(keysOf(value));
    for (const StoredContact& other : others) {
        if (merged.photo.isEmpty())
            merged.photo = other.photo;
        for (const DraftExtra& value : labelledValues(other)) {
            const QSet<QString> keys = keysOf(value);
            if (keys.isEmpty() || held.contains(keys))
                continue;
            held.unite(keys);
            const QString piece = value.label == noteLabel() ? value.value : value.label + LabelSeparator + value.value;
            const QString note = merged.note.isEmpty() ? piece : merged.note + NoteSeparator + piece;
            if (CutToWidth(note, noteWidth) == note)
                merged.note = note;
            else
                merged.keptAside.append(value);
        }
    }
    return merged;
}
