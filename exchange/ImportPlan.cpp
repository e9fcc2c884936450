#include "ImportPlan.h"

#include <algorithm>

namespace {

QString cardPlace(const QString& file, int line, const QString& name)
{
    QString place = QStringLiteral("%1 第 %2 行").arg(file).arg(line);
    if (!name.isEmpty())
        place += QStringLiteral(" %1").arg(name);
    return place + QStringLiteral("：");
}

// One entry of a file in line order: a card or a failure.
struct Entry {
    int line;
    const ContactDraft* draft;
    const DraftFailure* failure;
};

}  // namespace

ImportPlan PlanImport(const QList<ImportSource>& sources, const ColumnWidths& widths,
                      const QList<ContactHoldings>& existing)
{
    ImportPlan plan;
    HoldingsIndex index;
    for (qsizetype i = 0; i < existing.size(); ++i)
        index.add(existing[i], int(i));
    // Cards of this import are numbered after the book's records; where each came from, for the report.
    QStringList places;
    for (const ImportSource& source : sources) {
        std::vector<Entry> entries;
        for (const ContactDraft& draft : source.cards.drafts)
            entries.push_back({draft.line, &draft, nullptr});
        for (const DraftFailure& failure : source.cards.failures)
            entries.push_back({failure.line, nullptr, &failure});
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.line < b.line; });

        for (const Entry& entry : entries) {
            if (entry.failure) {
                plan.report << cardPlace(source.name, entry.line, {})
                                   + QStringLiteral("无法读取，跳过（%1）").arg(entry.failure->reason);
                ++plan.skipped;
                continue;
            }
            FittedContact fitted = FitDraft(*entry.draft, widths);
            const QString place = cardPlace(source.name, entry.line, fitted.text(ContactText::Name));
            if (fitted.text(ContactText::Name).isEmpty()) {
                plan.report << place + QStringLiteral("没有姓名，也没有单位、昵称、电话或邮箱可作姓名，未导入");
                ++plan.skipped;
                continue;
            }
            ContactHoldings holdings = HoldingsOf(fitted.texts, fitted.kept, fitted.photo ? fitted.photo->size() : 0);
            const int holder = index.holderOf(holdings);
            if (holder >= 0) {
                plan.report << place
                                   + (holder < existing.size()
                                          ? QStringLiteral("与通讯录中第 %1 条联系人“%2”相同，跳过")
                                                .arg(holder + 1)
                                                .arg(existing[holder].name)
                                          : QStringLiteral("与本次导入中 %1的联系人相同，跳过")
                                                .arg(places[holder - existing.size()]));
                ++plan.skipped;
                continue;
            }
            index.add(std::move(holdings), int(existing.size() + places.size()));
            places << QStringLiteral("%1 第 %2 行").arg(source.name).arg(entry.line);
            if (!fitted.notes.isEmpty())
                plan.report << place + fitted.notes.join(QStringLiteral("；"));
            if (fitted.cut)
                ++plan.cut;
            plan.toAdd.push_back(std::move(fitted));
        }
    }
    return plan;
}

QString ImportSummary(const ImportPlan& plan, bool written)
{
    return QStringLiteral("%1添加 %2 条，跳过 %3 条，截断 %4 条")
        .arg(written ? QString() : QStringLiteral("试运行，未写入：可"))
        .arg(plan.added())
        .arg(plan.skipped)
        .arg(plan.cut);
}
