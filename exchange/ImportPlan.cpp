#include "ImportPlan.h"

#include "exchange/SpoolFile.h"

#include <QSet>
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

// A card's contact fitted, and the labels of its fields that went into 备注.
struct Fitting {
    FittedContact contact;
    QStringList intoNote;
};

// The card fitted; a spooled card is read back for it and let go after, its
// photo left in the spool file when it is kept as it was read.
Fitting fitted(const ImportSource& source, const Entry& entry, const ColumnWidths& widths)
{
    if (entry.spooled < 0) {
        FittedContact contact = FitDraft(*entry.draft, widths);
        QStringList labels = labelsIntoNote(*entry.draft, contact);
        return {std::move(contact), std::move(labels)};
    }
    const ContactDraft draft = source.spooled->draft(entry.spooled);
    Fitting fitting{FitDraft(draft, widths), {}};
    fitting.intoNote = labelsIntoNote(draft, fitting.contact);
    if (fitting.contact.photo && fitting.contact.photo.bytes() == draft.photo)
        fitting.contact.photo = source.spooled->photo(entry.spooled);
    return fitting;
}

// The file the plan keeps its contacts in: the one the drafts were spooled to, or one of its own.
std::shared_ptr<SpoolFile> planFile(const QList<ImportSource>& sources)
{
    for (const ImportSource& source : sources)
        if (source.spooled)
            return source.spooled->file();
    return std::make_shared<SpoolFile>();
}

// "手机.vcf 第 3 行 张三：", as the report begins a card's lines.
QString placeOf(const PlannedCard& card, const FittedContact& contact)
{
    return cardPlace(card.file, card.line, contact.text(ContactText::Name));
}

void planCards(ImportPlan& plan, const QList<ImportSource>& sources, const ColumnWidths& widths,
               QList<ContactHoldings> existing)
{
    qsizetype total = 0;
    for (const ImportSource& source : sources)
        total +=
            source.cards.drafts.size() + source.cards.failures.size() + (source.spooled ? source.spooled->count() : 0);
    plan.cards.reserve(total);
    plan.contacts = FittedContacts(planFile(sources));
    HoldingsIndex index;
    // The book's records go into the index one by one, each let go as it goes
    // in: only their names stay, for the report.
    QStringList bookNames;
    bookNames.reserve(existing.size());
    for (qsizetype i = 0; i < existing.size(); ++i) {
        bookNames << existing[i].name;
        index.add(std::exchange(existing[i], {}), int(i));
    }
    existing = {};
    // Cards of this import are numbered after the book's records; where each came from, for the report.
    std::vector<std::pair<const ImportSource*, int>> places;
    // Most cards of a file put the same fields into 备注: one list for them all.
    QSet<QStringList> intoNotes;
    for (const ImportSource& source : sources) {
        for (const Entry& entry : entriesInLineOrder(source)) {
            PlannedCard card;
            card.file = source.name;
            card.line = entry.line;
            if (entry.failure) {
                card.fate = CardFate::Unreadable;
                card.why = QStringLiteral("无法读取，跳过（%1）").arg(entry.failure->reason);
                FittedContact none;
                none.line = entry.line;
                plan.contacts.append(std::move(none));
                plan.cards.push_back(std::move(card));
                continue;
            }
            Fitting fitting = fitted(source, entry, widths);
            const FittedContact& contact = fitting.contact;
            card.intoNote = *intoNotes.insert(std::move(fitting.intoNote));
            card.cut = contact.cut;
            card.noted = !contact.notes.isEmpty();
            if (contact.text(ContactText::Name).isEmpty()) {
                // Nothing names or reaches this person: never a record without a name.
                card.fate = CardFate::Unreadable;
                card.why = QStringLiteral("没有姓名，也没有单位、昵称、电话或邮箱可作姓名，未导入");
            } else {
                ContactHoldings holdings = HoldingsOf(contact.texts, contact.kept, contact.photo.size());
                const int holder = index.holderOf(holdings);
                if (holder >= 0 && holder < bookNames.size()) {
                    card.fate = CardFate::InBook;
                    card.why =
                        QStringLiteral("与通讯录中第 %1 条联系人“%2”相同，跳过").arg(holder + 1).arg(bookNames[holder]);
                } else if (holder >= 0) {
                    card.fate = CardFate::EarlierInImport;
                    card.why = QStringLiteral("与本次导入中 %1的联系人相同，跳过")
                                   .arg(cardPlace(places[size_t(holder - bookNames.size())]));
                } else {
                    index.add(std::move(holdings), int(bookNames.size() + qsizetype(places.size())));
                    places.emplace_back(&source, entry.line);
                }
            }
            plan.contacts.append(std::move(fitting.contact));
            plan.cards.push_back(std::move(card));
        }
    }
}

}  // namespace

ImportPlan PlanImport(const QList<ImportSource>& sources, const ColumnWidths& widths, QList<ContactHoldings> existing)
{
    ImportPlan planned;
    planCards(planned, sources, widths, std::move(existing));
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
    chose.contacts = plan.contacts;
    std::vector<qsizetype> taken;
    taken.reserve(std::count(chosen.begin(), chosen.end(), true));
    for (qsizetype i = 0; i < plan.cards.size(); ++i) {
        const PlannedCard& card = plan.cards[i];
        const bool take = card.fate != CardFate::Unreadable && i < chosen.size() && chosen[i];
        if (!take) {
            chose.report << placeOf(card, plan.contacts[i])
                                + (card.why.isEmpty() ? QStringLiteral("未选中，跳过") : card.why);
            ++chose.skipped;
            continue;
        }
        if (card.noted) {
            const FittedContact contact = plan.contacts[i];
            chose.report << placeOf(card, contact) + contact.notes.join(QStringLiteral("；"));
        }
        if (card.cut)
            ++chose.cut;
        taken.push_back(i);
    }
    chose.toAdd = plan.contacts.only(taken);
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
