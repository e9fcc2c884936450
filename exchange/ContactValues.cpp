#include "ContactValues.h"

#include "exchange/ContactLabels.h"
#include "exchange/PhoneNumber.h"
#include "store/ContactSchema.h"

namespace {

class Lifter {
public:
    explicit Lifter(const StoredContact& contact)
    {
        lifted_.texts = contact.texts;
        for (int i = 0; i < ContactTextCount; ++i)
            original_[i] = false;
    }

    // 备注's pieces: labelled values lifted, the rest stays the note.
    void liftNote(const QString& note)
    {
        QStringList rest;
        for (const QString& piece : note.split(NoteSeparator)) {
            const qsizetype colon = piece.indexOf(LabelSeparator);
            const QString label = colon > 0 ? piece.left(colon) : QString();
            if (!label.isEmpty() && isImportLabel(label) && label != noteLabel())
                take(label, piece.mid(colon + 1));
            else
                rest << piece;
        }
        lifted_.texts[int(ContactText::Note)] = rest.join(NoteSeparator);
    }

    void take(const QString& label, const QString& value)
    {
        // The whole text of a column that holds it cut, or that holds only the number of a phone text.
        const int column = int(ContactTextColumns().indexOf(label));
        if (column >= 0 && column != int(ContactText::Note) && !original_[column]) {
            const QString& stored = lifted_.texts[column];
            const bool whole = column == int(ContactText::Phone)
                                   ? !stored.isEmpty() && FitPhoneColumn(value, int(stored.size())).number == stored
                                   : !stored.isEmpty() && value.startsWith(stored);
            if (whole) {
                lifted_.texts[column] = value;
                original_[column] = true;
                return;
            }
        }
        lifted_.values.append({label, value});
    }

    ContactValues result() { return std::move(lifted_); }

private:
    static const QString& noteLabel() { return ContactTextColumn(ContactText::Note); }
    ContactValues lifted_;
    std::array<bool, ContactTextCount> original_{};
};

}  // namespace

ContactValues LiftValues(const StoredContact& contact)
{
    Lifter lifter(contact);
    const QString& noteLabel = ContactTextColumn(ContactText::Note);
    // A note too long for 备注 was kept whole beside the record: that is the note.
    QString note = contact.text(ContactText::Note);
    qsizetype whole = -1;
    for (qsizetype i = 0; i < contact.kept.size() && whole < 0; ++i)
        if (contact.kept[i].label == noteLabel && !note.isEmpty() && contact.kept[i].value.startsWith(note))
            whole = i;
    if (whole >= 0)
        note = contact.kept[whole].value;
    lifter.liftNote(note);
    for (qsizetype i = 0; i < contact.kept.size(); ++i)
        if (i != whole)
            lifter.take(contact.kept[i].label, contact.kept[i].value);
    return lifter.result();
}
