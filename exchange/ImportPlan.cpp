#include "ImportPlan.h"

#include "exchange/DraftQueue.h"
#include "exchange/SpoolFile.h"

#include <QSet>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

// "手机.vcf 第 3 行": where a card stands.
QString linePlace(const QString& file, int line)
{
    return QStringLiteral("%1 第 %2 行").arg(file).arg(line);
}

QString cardPlace(const QString& file, int line, const QString& name)
{
    QString place = linePlace(file, line);
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

// A card's contact fitted, and the labels of its fields that went into 备注.
struct Fitting {
    FittedContact contact;
    QStringList intoNote;
};

// The card fitted as it would be stored.
Fitting fittedDraft(const ContactDraft& draft, const ColumnWidths& widths)
{
    Fitting fitting{FitDraft(draft, widths), {}};
    fitting.intoNote = labelsIntoNote(draft, fitting.contact);
    return fitting;
}

// The card fitted; a spooled card is read back for it and let go after, its
// photo left in the spool file when it is kept as it was read.
Fitting fitted(const ImportSource& source, const ImportEntry& entry, const ColumnWidths& widths)
{
    if (entry.spooled < 0)
        return fittedDraft(*entry.draft, widths);
    const ContactDraft draft = source.spooled->draft(entry.spooled);
    Fitting fitting = fittedDraft(draft, widths);
    // A photo fitted as it was read shares its bytes with the draft.
    const QByteArray photo = fitting.contact.photo.bytes();
    if (fitting.contact.photo && (photo.constData() == draft.photo.constData() || photo == draft.photo))
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

// Every card's fate in the order given: cards that bring nothing new to a
// record of the book or to an earlier card are set aside, and so are cards
// with nothing to name a record by. The plan's contacts go into file.
class CardPlanner {
public:
    // keepsPhotos: whether the plan's contacts keep their photos' bytes for a write after it.
    CardPlanner(ImportPlan& plan, std::shared_ptr<SpoolFile> file, QList<ContactHoldings> existing, bool keepsPhotos,
                std::function<void(const FittedContact&)> whenAdded = {})
        : plan_(plan), whenAdded_(std::move(whenAdded)), keepsPhotos_(keepsPhotos)
    {
        plan_.contacts = FittedContacts(std::move(file));
        // The book's records go into the index one by one, each let go as it goes
        // in: only their names stay, for the report.
        bookNames_.reserve(existing.size());
        for (qsizetype i = 0; i < existing.size(); ++i) {
            bookNames_ << existing[i].name;
            index_.add(std::exchange(existing[i], {}), int(i));
        }
    }

    void failed(const QString& file, const DraftFailure& failure)
    {
        PlannedCard card;
        card.file = file;
        card.line = failure.line;
        card.fate = CardFate::Unreadable;
        card.why = QStringLiteral("无法读取，跳过（%1）").arg(failure.reason);
        FittedContact none;
        none.line = failure.line;
        plan_.contacts.append(std::move(none));
        plan_.cards.push_back(std::move(card));
    }

    void add(const QString& file, int line, Fitting fitting)
    {
        PlannedCard card;
        card.file = file;
        card.line = line;
        const FittedContact& contact = fitting.contact;
        card.intoNote = *intoNotes_.insert(std::move(fitting.intoNote));
        card.cut = contact.cut;
        card.noted = !contact.notes.isEmpty();
        if (contact.text(ContactText::Name).isEmpty()) {
            // Nothing names or reaches this person: never a record without a name.
            card.fate = CardFate::Unreadable;
            card.why = QStringLiteral("没有姓名，也没有单位、昵称、电话或邮箱可作姓名，未导入");
        } else {
            ContactHoldings holdings = CardHoldingsOf(contact.texts, contact.kept, contact.photo.size());
            const int holder = index_.holderOf(holdings);
            if (holder >= 0 && holder < bookNames_.size()) {
                card.fate = CardFate::InBook;
                card.why =
                    QStringLiteral("与通讯录中第 %1 条联系人“%2”相同，跳过").arg(holder + 1).arg(bookNames_[holder]);
            } else if (holder >= 0) {
                const auto& [earlierFile, earlierLine] = places_[size_t(holder - bookNames_.size())];
                card.fate = CardFate::EarlierInImport;
                card.why = QStringLiteral("与本次导入中 %1的联系人相同，跳过").arg(linePlace(earlierFile, earlierLine));
            } else {
                index_.add(std::move(holdings), int(bookNames_.size() + qsizetype(places_.size())));
                places_.emplace_back(file, line);
                if (whenAdded_)
                    whenAdded_(contact);
            }
        }
        if (!keepsPhotos_ && fitting.contact.photo)
            fitting.contact.photo = FittedPhoto::LetGo(fitting.contact.photo.size());
        plan_.contacts.append(std::move(fitting.contact));
        plan_.cards.push_back(std::move(card));
    }

private:
    ImportPlan& plan_;
    std::function<void(const FittedContact&)> whenAdded_;  // told of each card to add as soon as it is planned
    bool keepsPhotos_;
    HoldingsIndex index_;
    QStringList bookNames_;
    // Cards of this import are numbered after the book's records; where each came from, for the report.
    std::vector<std::pair<QString, int>> places_;
    // Most cards of a file put the same fields into 备注: one list for them all.
    QSet<QStringList> intoNotes_;
};

// What the planned cards come to: those with fate Add are added.
ImportPlan chosenAsPlanned(const ImportPlan& planned)
{
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

ImportPlan PlanImport(const QList<ImportSource>& sources, const ColumnWidths& widths, QList<ContactHoldings> existing)
{
    ImportPlan planned;
    qsizetype total = 0;
    for (const ImportSource& source : sources)
        total +=
            source.cards.drafts.size() + source.cards.failures.size() + (source.spooled ? source.spooled->count() : 0);
    planned.cards.reserve(total);
    CardPlanner planner(planned, planFile(sources), std::move(existing), true);
    for (const ImportSource& source : sources) {
        for (const ImportEntry& entry : EntriesInLineOrder(source)) {
            if (entry.failure)
                planner.failed(source.name, *entry.failure);
            else
                planner.add(source.name, entry.line, fitted(source, entry, widths));
        }
    }
    return chosenAsPlanned(planned);
}

std::optional<ImportPlan> PlanImportAsRead(DraftQueue& queue, const QStringList& fileNames,
                                           const std::shared_ptr<SpoolFile>& spool, const ColumnWidths& widths,
                                           QList<ContactHoldings> existing,
                                           const std::function<void(const FittedContact&)>& whenAdded)
{
    ImportPlan planned;
    CardPlanner planner(planned, spool, std::move(existing), false, whenAdded);
    int file = -1;
    int lastLine = 0;
    bool lastFailed = false;
    QueuedCard queued;
    while (queue.pop(queued)) {
        const auto* failure = std::get_if<DraftFailure>(&queued.card);
        const auto* draft = std::get_if<ContactDraft>(&queued.card);
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
        if (failure)
            planner.failed(fileNames[file], *failure);
        else
            planner.add(fileNames[file], line, fittedDraft(*draft, widths));
    }
    if (const std::exception_ptr error = queue.error())
        std::rethrow_exception(error);
    return chosenAsPlanned(planned);
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
