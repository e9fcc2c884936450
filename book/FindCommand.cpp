// find: the contacts a text finds (inside any of their texts, or as the pinyin
// typed for the name), printed as list prints them, in the window's order by 姓名.
// The book is read once, row by row: only the contacts found are kept.

#include "book/Commands.h"
#include "book/ContactListing.h"
#include "book/ContactScan.h"
#include "exchange/pinyin/ContactSearch.h"
#include "store/SortOrder.h"

namespace {

struct Found {
    ContactTexts texts;
    bool nameIsNull;
};

// The window's sort by 姓名: the same collation, nulls first, ties in table order.
// Sorting only the contacts found gives the order sorting all of them would.
QList<ContactTexts> inNameOrder(const std::vector<Found>& found)
{
    std::vector<int> rows(found.size());
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = int(i);
    const int name = int(ContactText::Name);
    const std::vector<int> sorted =
        SortRecords(rows, {SortKey{name, false}}, [&](int row, int) -> std::optional<QString> {
            if (found[size_t(row)].nameIsNull)
                return std::nullopt;
            return found[size_t(row)].texts[size_t(name)];
        });
    QList<ContactTexts> ordered;
    ordered.reserve(qsizetype(sorted.size()));
    for (const int row : sorted)
        ordered << found[size_t(row)].texts;
    return ordered;
}

}  // namespace

int RunFind(BookRun& run, const QStringList& arguments)
{
    const CommandArguments split = SplitArguments(QStringLiteral("find"), arguments, {QStringLiteral("--pinyin")});
    if (split.operands.isEmpty())
        throw UsageError(QStringLiteral("find 缺少要找的文字"));
    if (split.operands.size() > 1)
        throw UsageError(QStringLiteral("find 只接受一段文字（含空格时请加引号）"));
    const QString& typed = split.operands.first();
    if (typed.isEmpty())
        throw UsageError(QStringLiteral("find 要找的文字不能为空"));

    const ContactSearch search(typed);
    std::vector<Found> found;
    ScanContacts(run, [&](const ScannedContact& contact) {
        if (!search.matches(contact.texts))
            return;
        Found f{{}, contact.isNull[size_t(ContactText::Name)]};
        for (int i = 0; i < ContactTextCount; ++i)
            f.texts[size_t(i)] = QString::fromUtf8(contact.texts[size_t(i)]);
        found.push_back(std::move(f));
    });
    PrintContacts(run.console, inNameOrder(found), split.has(QStringLiteral("--pinyin")));
    return ExitCode::Success;
}
