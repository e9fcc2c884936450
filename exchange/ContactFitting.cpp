#include "ContactFitting.h"

#include "exchange/PhotoFitting.h"
#include "platform/Trim.h"
#include "store/ADODB.h"
#include "store/ContactColumns.h"
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

ColumnWidths ContactWidths(const std::vector<ColumnInfo>& columns)
{
    ColumnWidths widths{};
    const QStringList& names = ContactTextColumns();
    for (const ColumnInfo& column : columns)
        if (const qsizetype i = names.indexOf(column.name); i >= 0)
            widths[i] = column.width;
    return widths;
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

// 备注 as it fills: the card's own note first, then what did not fit elsewhere;
// what it has no room for is kept beside the record.
class NoteBuilder {
public:
    NoteBuilder(QString note, int width) : note_(std::move(note)), width_(width) {}

    // Adds "label:value" whole into 备注 and answers true, or keeps it aside.
    bool add(const QString& label, const QString& value)
    {
        const QString item = label + LabelSeparator + value;
        const QString joined = note_.isEmpty() ? item : note_ + NoteSeparator + item;
        if (tooWide(joined, width_)) {
            kept_.append({label, value});
            return false;
        }
        note_ = joined;
        return true;
    }
    const QString& text() const { return note_; }
    QList<DraftExtra>& kept() { return kept_; }

private:
    QString note_;
    int width_;
    QList<DraftExtra> kept_;
};

QString whereTheOriginalWent(bool inNote)
{
    return inNote ? QStringLiteral("原文记入备注") : QStringLiteral("备注已满，原文另存于通讯录");
}

// 电话: the whole number the text starts with, else the first phone extra that
// has one, never another person's (an assistant's) (that extra then counts as taken when it was nothing but the
// number). The text goes into 备注 whole when 电话 holds less than it said.
void fitPhone(FittedContact& fitted, QList<DraftExtra>& extras, NoteBuilder& note, int width)
{
    const int phone = static_cast<int>(ContactText::Phone);
    const QString text = fitted.texts[phone];
    const PhoneColumnFit own = FitPhoneColumn(text, width);
    PhoneColumnFit fit = own;
    for (qsizetype i = 0; fit.number.isEmpty() && i < extras.size(); ++i) {
        if (!isPhoneLabel(extras[i].label) || isAnotherPersonsValue(extras[i].label))
            continue;
        fit = FitPhoneColumn(extras[i].value, width);
        if (fit.wholeText)
            extras.removeAt(i);
    }
    fitted.texts[phone] = fit.number;
    if (text.isEmpty() || own.wholeText)
        return;
    const QString went = whereTheOriginalWent(note.add(ContactTextColumn(ContactText::Phone), text));
    if (own.number.isEmpty())
        fitted.notes << QStringLiteral("电话：“%1”没有可完整存入 %2 个字符的号码，%3")
                            .arg(CutToWidth(text, 40), QString::number(width), went);
    else
        fitted.notes << QStringLiteral("电话：只存号码 %1，%2").arg(own.number, went);
}

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
    QList<DraftExtra> extras;
    for (const DraftExtra& extra : draft.extras) {
        const QString value = TrimControl(extra.value);
        if (!value.isEmpty())
            extras.append({extra.label, value});
    }

    QString ownNote = fitted.texts[note];
    QList<DraftExtra> wholeNote;
    if (tooWide(ownNote, widths[note])) {
        wholeNote.append({labels[note], ownNote});
        ownNote = CutToWidth(ownNote, widths[note]);
        fitted.notes << QStringLiteral("备注：超过 %1 个字符，已截断，全文另存于通讯录").arg(widths[note]);
        fitted.cut = true;
    }
    NoteBuilder builder(ownNote, widths[note]);
    builder.kept() = wholeNote;

    for (int i = 0; i < ContactTextCount; ++i) {
        if (i == note)
            continue;
        if (i == phone) {
            fitPhone(fitted, extras, builder, widths[i]);
            continue;
        }
        const QString original = fitted.texts[i];
        if (!tooWide(original, widths[i]))
            continue;
        fitted.texts[i] = CutToWidth(original, widths[i]);
        fitted.cut = true;
        fitted.notes << QStringLiteral("%1：超过 %2 个字符，已截断，%3")
                            .arg(labels[i])
                            .arg(widths[i])
                            .arg(whereTheOriginalWent(builder.add(labels[i], original)));
    }

    QStringList keptLabels;
    for (const DraftExtra& extra : extras) {
        if (!builder.add(extra.label, extra.value) && !keptLabels.contains(extra.label))
            keptLabels << extra.label;
    }
    if (!keptLabels.isEmpty())
        fitted.notes << QStringLiteral("备注已满，另存于通讯录：%1").arg(keptLabels.join(u'、'));
    fitted.texts[note] = builder.text();
    fitted.kept = std::move(builder.kept());

    const PhotoFit photo = FitPhoto(draft.photo);
    if (photo.jpeg)
        fitted.photo = FittedPhoto(*photo.jpeg);
    if (!photo.problem.isEmpty()) {
        fitted.notes << photo.problem;
        fitted.cut = fitted.cut || !photo.jpeg;
    }
    fitted.notes << draft.said;
    for (const QString& said : draft.leftOut) {
        fitted.notes << said;
        fitted.cut = true;
    }
    return fitted;
}
