#include "ImportPlan.h"

#include "exchange/DraftQueue.h"

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

// The card fitted as it would be stored.
PlannedCard fittedCard(const ContactDraft& draft, const ColumnWidths& widths)
{
    PlannedCard card;
    card.contact = FitDraft(draft, widths);
    card.intoNote = labelsIntoNote(draft, card.contact);
    return card;
}

// The card fitted; a spooled card is read back for it and let go after, its
// photo left in (or put into) the spool file until the write.
PlannedCard fitted(const ImportSource& source, const ImportEntry& entry, const ColumnWidths& widths)
{
    if (entry.spooled < 0)
        return fittedCard(*entry.draft, widths);
    const ContactDraft draft = source.spooled->draft(entry.spooled);
    PlannedCard card = fittedCard(draft, widths);
    // A photo fitted as it was read shares its bytes with the draft.
    const QByteArray photo = card.contact.photo.bytes();
    if (card.contact.photo && (photo.constData() == draft.photo.constData() || photo == draft.photo))
        card.contact.photo = source.spooled->photo(entry.spooled);
    else
        card.contact.photo.holdIn(source.spooled->file());
    return card;
}

// Every card's fate in the order given: cards that bring nothing new to a
// record of the book or to an earlier card are set aside, and so are cards
// with nothing to name a record by.
class CardPlanner {
public:
    CardPlanner(const QList<ContactHoldings>& existing, qsizetype expected) : existing_(existing)
    {
        cards.reserve(expected);
        for (qsizetype i = 0; i < existing.size(); ++i)
            index_.add(existing[i], int(i));
    }

    void failed(const QString& file, const DraftFailure& failure)
    {
        PlannedCard card;
        card.place = cardPlace(file, failure.line, {});
        card.fate = CardFate::Unreadable;
        card.contact.line = failure.line;
        card.why = QStringLiteral("无法读取，跳过（%1）").arg(failure.reason);
        cards.push_back(std::move(card));
    }

    void add(const QString& file, int line, PlannedCard card)
    {
        card.place = cardPlace(file, line, card.contact.text(ContactText::Name));
        if (card.contact.text(ContactText::Name).isEmpty()) {
            // Nothing names or reaches this person: never a record without a name.
            card.fate = CardFate::Unreadable;
            card.why = QStringLiteral("没有姓名，也没有单位、昵称、电话或邮箱可作姓名，未导入");
            cards.push_back(std::move(card));
            return;
        }
        ContactHoldings holdings = HoldingsOf(card.contact.texts, card.contact.kept, card.contact.photo.size());
        const int holder = index_.holderOf(holdings);
        if (holder >= 0 && holder < existing_.size()) {
            card.fate = CardFate::InBook;
            card.why =
                QStringLiteral("与通讯录中第 %1 条联系人“%2”相同，跳过").arg(holder + 1).arg(existing_[holder].name);
        } else if (holder >= 0) {
            const auto& [earlierFile, earlierLine] = places_[size_t(holder - existing_.size())];
            card.fate = CardFate::EarlierInImport;
            card.why = QStringLiteral("与本次导入中 %1的联系人相同，跳过")
                           .arg(QStringLiteral("%1 第 %2 行").arg(earlierFile).arg(earlierLine));
        } else {
            index_.add(std::move(holdings), int(existing_.size() + qsizetype(places_.size())));
            places_.emplace_back(file, line);
        }
        cards.push_back(std::move(card));
    }

    QList<PlannedCard> cards;

private:
    const QList<ContactHoldings>& existing_;
    HoldingsIndex index_;
    // Cards of this import are numbered after the book's records; where each came from, for the report.
    std::vector<std::pair<QString, int>> places_;
};

// What the planned cards come to: those with fate Add are added.
ImportPlan choosingPlanned(QList<PlannedCard> cards)
{
    ImportPlan planned;
    planned.cards = std::move(cards);
    QList<bool> chosen;
    chosen.reserve(planned.cards.size());
    for (const PlannedCard& card : planned.cards)
        chosen << (card.fate == CardFate::Add);
    return ChooseCards(planned, chosen);
}

}  // namespace

std::vector<ImportEntry> EntriesInLineOrder(const ImportSource& source)
{
    std::vector<ImportEntry> entries;
    for (const ContactDraft& draft : source.cards.drafts)
        entries.push_back({draft.line, &draft, -1, nullptr});
    for (int i = 0; source.spooled && i < source.spooled->count(); ++i)
        entries.push_back({source.spooled->line(i), nullptr, i, nullptr});
    for (const DraftFailure& failure : source.cards.failures)
        entries.push_back({failure.line, nullptr, -1, &failure});
    std::stable_sort(entries.begin(), entries.end(),
                     [](const ImportEntry& a, const ImportEntry& b) { return a.line < b.line; });
    return entries;
}

ImportPlan PlanImport(const QList<ImportSource>& sources, const ColumnWidths& widths,
                      const QList<ContactHoldings>& existing)
{
    qsizetype total = 0;
    for (const ImportSource& source : sources)
        total +=
            source.cards.drafts.size() + source.cards.failures.size() + (source.spooled ? source.spooled->count() : 0);
    CardPlanner planner(existing, total);
    for (const ImportSource& source : sources) {
        for (const ImportEntry& entry : EntriesInLineOrder(source)) {
            if (entry.failure)
                planner.failed(source.name, *entry.failure);
            else
                planner.add(source.name, entry.line, fitted(source, entry, widths));
        }
    }
    return choosingPlanned(std::move(planner.cards));
}

std::optional<ImportPlan> PlanImportAsRead(DraftQueue& queue, const QStringList& fileNames,
                                           const std::shared_ptr<SpoolFile>& spool, const ColumnWidths& widths,
                                           const QList<ContactHoldings>& existing)
{
    CardPlanner planner(existing, 0);
    int file = -1;
    int lastLine = 0;
    bool lastFailed = false;
    QueuedCard queued;
    while (queue.pop(queued)) {
        const auto* failure = std::get_if<DraftFailure>(&queued.card);
        auto* draft = std::get_if<ContactDraft>(&queued.card);
        const int line = failure ? failure->line : draft->line;
        if (queued.file != file) {
            file = queued.file;
            lastLine = 0;
            lastFailed = false;
        }
        // Planned in the order read only where that is line order, as PlanImport plans:
        // a card before a failure of its line, each file's cards by their lines.
        if (line < lastLine || (line == lastLine && lastFailed && draft))
            return std::nullopt;
        lastLine = line;
        lastFailed = failure != nullptr;
        const QString& name = fileNames[file];
        if (failure) {
            planner.failed(name, *failure);
            continue;
        }
        PlannedCard card = fittedCard(*draft, widths);
        card.contact.photo.holdIn(spool);
        planner.add(name, line, std::move(card));
    }
    if (const std::exception_ptr error = queue.error())
        std::rethrow_exception(error);
    return choosingPlanned(std::move(planner.cards));
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
