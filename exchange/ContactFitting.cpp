#include "ContactFitting.h"

#include "exchange/PhotoFitting.h"
#include "platform/TextRules.h"
#include "platform/Trim.h"
#include "store/ADODB.h"
#include "store/ContactSchema.h"
#include "store/TextWidth.h"

ColumnWidths ContactWidths(TADOQuery& query)
{
    ColumnWidths widths{};
    const QStringList& names = ContactTextColumns();
    for (int i = 0; i < ContactTextCount; ++i)
        widths[i] = query.FieldByName(names[i])->Size;
    return widths;
}

QString WithoutPhoneSeparators(const QString& phone)
{
    QString kept;
    kept.reserve(phone.size());
    for (const QChar c : phone)
        if (!IsPhoneSeparator(c))
            kept += c;
    return kept;
}

QString CutToWidth(const QString& text, int width)
{
    int units = 0;
    for (int counted = 0; units < text.size() && counted < width; ++counted)
        units += text.at(units).isHighSurrogate() && units + 1 < text.size() ? 2 : 1;
    return TrimControl(text.left(units));
}

namespace {

bool tooWide(const QString& text, int width)
{
    return width > 0 && CodePointCount(text) > width;
}

// 备注 as it fills: the card's own note first, then what did not fit elsewhere.
class NoteBuilder {
public:
    NoteBuilder(QString note, int width) : note_(std::move(note)), width_(width) {}

    // Adds "label:value" whole, or not at all when it would pass the width.
    bool add(const QString& label, const QString& value)
    {
        const QString item = label + u':' + value;
        const QString joined = note_.isEmpty() ? item : note_ + NoteSeparator + item;
        if (tooWide(joined, width_))
            return false;
        note_ = joined;
        return true;
    }
    const QString& text() const { return note_; }

private:
    QString note_;
    int width_;
};

}  // namespace

FittedContact FitDraft(const ContactDraft& draft, const ColumnWidths& widths)
{
    FittedContact fitted;
    fitted.line = draft.line;
    const QStringList& labels = ContactTextColumns();
    const int note = static_cast<int>(ContactText::Note);
    const int phone = static_cast<int>(ContactText::Phone);

    for (int i = 0; i < ContactTextCount; ++i)
        fitted.texts[i] = TrimControl(draft.texts[i]);

    QString ownNote = fitted.texts[note];
    if (tooWide(ownNote, widths[note])) {
        ownNote = CutToWidth(ownNote, widths[note]);
        fitted.notes << QStringLiteral("备注：超过 %1 个字符，已截断").arg(widths[note]);
        fitted.cut = true;
    }
    NoteBuilder builder(ownNote, widths[note]);

    for (int i = 0; i < ContactTextCount; ++i) {
        if (i == note)
            continue;
        const QString original = fitted.texts[i];
        QString value = original;
        if (i == phone && tooWide(value, widths[i]))
            value = WithoutPhoneSeparators(value);
        if (tooWide(value, widths[i])) {
            value = CutToWidth(value, widths[i]);
            fitted.cut = true;
            fitted.notes
                << (builder.add(labels[i], original)
                        ? QStringLiteral("%1：超过 %2 个字符，已截断，原文记入备注").arg(labels[i]).arg(widths[i])
                        : QStringLiteral("%1：超过 %2 个字符，已截断，备注已满，原文未保存")
                              .arg(labels[i])
                              .arg(widths[i]));
        }
        fitted.texts[i] = value;
    }

    for (const DraftExtra& extra : draft.extras) {
        const QString value = TrimControl(extra.value);
        if (value.isEmpty() || builder.add(extra.label, value))
            continue;
        fitted.notes << QStringLiteral("%1：未保存，备注已满").arg(extra.label);
        fitted.cut = true;
    }
    fitted.texts[note] = builder.text();

    const PhotoFit photo = FitPhoto(draft.photo);
    fitted.photo = photo.jpeg;
    if (!photo.problem.isEmpty()) {
        fitted.notes << photo.problem;
        fitted.cut = fitted.cut || !photo.jpeg;
    }
    for (const QString& said : draft.leftOut) {
        fitted.notes << said;
        fitted.cut = true;
    }
    return fitted;
}
