#include "ImportPlan.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

QString cardPlace(const QString& file, int line, const QString& name)
{
    QString place = QStringLiteral("%1 第 %2 行").arg(file).arg(line);
    if (!name.isEmpty())
        place += QStringLiteral(" %1").arg(name);
    return place + QStringLiteral("：");
}

// "手机.vcf 第 3 行": an earlier card of the import, as a duplicate's report line names it.
QString cardPlace(const std::pair<const ImportSource*, int>& place)
{
    return QStringLiteral("%1 第 %2 行").arg(place.first->name).arg(place.second);
}

// The labels of the card's further fields that went into 备注: those with a
// value that the fitting did not have to leave out.
QStringList labelsIntoNote(const ContactDraft& draft, const FittedContact& fitted)
{
    QStringList labels;
    for (const DraftExtra& extra : draft.extras) {
        const bool leftOut = std::any_of(fitted.notes.begin(), fitted.notes.end(), [&](const QString& note) {
            return note.startsWith(extra.label + QStringLiteral("：未保存"));
        });
        if (!extra.value.trimmed().isEmpty() && !leftOut && !labels.contains(extra.label))
            labels << extra.label;
    }
    return labels;
}

// One entry of a file in line order: a card in memory, a card in the file's spool, or a failure.
struct Entry {
    int line;
    const ContactDraft* draft;
    int spooled;  // the card's place in the spool, -1 when none
    const DraftFailure* failure;
};

std::vector<Entry> entriesInLineOrder(const ImportSource& source)
{
    std::vector<Entry> entries;
    for (const ContactDraft& draft : source.cards.drafts)
        entries.push_back({draft.line, &draft, -1, nullptr});
    for (int i = 0; source.spooled && i < source.spooled->count(); ++i)
        entries.push_back({source.spooled->line(i), nullptr, i, nullptr});
    for (const DraftFailure& failure : source.cards.failures)
        entries.push_back({failure.line, nullptr, -1, &failure});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.line < b.line; });
    return entries;
}

// The card fitted; a spooled card is read back for it and let go after, its
// photo left in (or put into) the spool file until the write.
PlannedCard fitted(const ImportSource& source, const Entry& entry, const ColumnWidths& widths)
{
    PlannedCard card;
    if (entry.spooled < 0) {
        card.contact = FitDraft(*entry.draft, widths);
        card.intoNote = labelsIntoNote(*entry.draft, card.contact);
        return card;
    }
    const ContactDraft draft = source.spooled->draft(entry.spooled);
    card.contact = FitDraft(draft, widths);
    card.intoNote = labelsIntoNote(draft, card.contact);
    // A photo fitted as it was read shares its bytes with the draft.
    const QByteArray photo = card.contact.photo.bytes();
    if (card.contact.photo && (photo.constData() == draft.photo.constData() || photo == draft.photo))
        card.contact.photo = source.spooled->photo(entry.spooled);
    else
        card.contact.photo.holdIn(source.spooled->file());
    return card;
}

}  // namespace

namespace {

QList<PlannedCard> planCards(const QList<ImportSource>& sources, const ColumnWidths& widths,
                             const QList<ContactHoldings>& existing)
{
    QList<PlannedCard> cards;
    qsizetype total = 0;
    for (const ImportSource& source : sources)
        total +=
            source.cards.drafts.size() + source.cards.failures.size() + (source.spooled ? source.spooled->count() : 0);
    cards.reserve(total);
    HoldingsIndex index;
    for (qsizetype i = 0; i < existing.size(); ++i)
        index.add(existing[i], int(i));
    // Cards of this import are numbered after the book's records; where each came from, for the report.
    std::vector<std::pair<const ImportSource*, int>> places;
    for (const ImportSource& source : sources) {
        for (const Entry& entry : entriesInLineOrder(source)) {
            if (entry.failure) {
                PlannedCard card;
                card.place = cardPlace(source.name, entry.line, {});
                card.fate = CardFate::Unreadable;
                card.contact.line = entry.line;
                card.why = QStringLiteral("无法读取，跳过（%1）").arg(entry.failure->reason);
                cards.push_back(std::move(card));
                continue;
            }
            PlannedCard card = fitted(source, entry, widths);
            card.place = cardPlace(source.name, entry.line, card.contact.text(ContactText::Name));
            if (card.contact.text(ContactText::Name).isEmpty()) {
                // Nothing names or reaches this person: never a record without a name.
                card.fate = CardFate::Unreadable;
                card.why = QStringLiteral("没有姓名，也没有单位、昵称、电话或邮箱可作姓名，未导入");
                cards.push_back(std::move(card));
                continue;
            }
            ContactHoldings holdings = HoldingsOf(card.contact.texts, card.contact.kept, card.contact.photo.size());
            const int holder = index.holderOf(holdings);
            if (holder >= 0 && holder < existing.size()) {
                card.fate = CardFate::InBook;
                card.why =
                    QStringLiteral("与通讯录中第 %1 条联系人“%2”相同，跳过").arg(holder + 1).arg(existing[holder].name);
            } else if (holder >= 0) {
                card.fate = CardFate::EarlierInImport;
                card.why = QStringLiteral("与本次导入中 %1的联系人相同，跳过")
                               .arg(cardPlace(places[size_t(holder - existing.size())]));
            } else {
                index.add(std::move(holdings), int(existing.size() + qsizetype(places.size())));
                places.emplace_back(&source, entry.line);
            }
            cards.push_back(std::move(card));
        }
    }
    return cards;
}

}  // namespace

ImportPlan PlanImport(const QList<ImportSource>& sources, const ColumnWidths& widths,
                      const QList<ContactHoldings>& existing)
{
    ImportPlan planned;
    planned.cards = planCards(sources, widths, existing);
    QList<bool> chosen;
    chosen.reserve(planned.cards.size());
    for (const PlannedCard& card : planned.cards)
        chosen << (card.fate == CardFate::Add);
    return ChooseCards(planned, chosen);
}

ImportPlan ChooseCards(const ImportPlan& plan, const QList<bool>& chosen)
{
    ImportPlan chose;
    chose.cards = plan.cards;
    chose.toAdd.reserve(std::count(chosen.begin(), chosen.end(), true));
    for (qsizetype i = 0; i < plan.cards.size(); ++i) {
        const PlannedCard& card = plan.cards[i];
        const bool take = card.fate != CardFate::Unreadable && i < chosen.size() && chosen[i];
        if (!take) {
            chose.report << card.place + (card.why.isEmpty() ? QStringLiteral("未选中，跳过") : card.why);
            ++chose.skipped;
            continue;
        }
        if (!card.contact.notes.isEmpty())
            chose.report << card.place + card.contact.notes.join(QStringLiteral("；"));
        if (card.contact.cut)
            ++chose.cut;
        chose.toAdd.push_back(card.contact);
    }
    return chose;
}

QString ImportSummary(const ImportPlan& plan, bool written)
{
    return QStringLiteral("%1添加 %2 条，跳过 %3 条，截断 %4 条")
        .arg(written ? QString() : QStringLiteral("试运行，未写入：可"))
        .arg(plan.added())
        .arg(plan.skipped)
        .arg(plan.cut);
}
