// find: the contacts a text finds (inside any of their texts, or as the pinyin
// typed for the name), printed as list prints them, in the window's order by 姓名.

#include "BookFile.h"
#include "Commands.h"
#include "ContactListing.h"
#include "ContactSchema.h"
#include "SortOrder.h"
#include "pinyin/ContactSearch.h"

namespace {

// The window's sort by 姓名: the same collation, nulls first, ties in table order.
// Sorting only the found rows gives the order sorting all of them would.
std::vector<int> inNameOrder(const BookFile& book, const QList<ContactTexts>& texts, const std::vector<int>& rows)
{
    const int name = book.fieldOf(ContactText::Name);
    return SortRecords(rows, {SortKey{name, false}}, [&](int row, int column) -> std::optional<QString> {
        if (book.query.IsNullAt(row, column))
            return std::nullopt;
        return texts[row][size_t(ContactText::Name)];
    });
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

    BookFile book(run.database);
    const QList<ContactTexts> texts = book.texts();
    const ContactSearch search(typed);
    std::vector<int> found;
    for (int row = 0; row < texts.size(); ++row)
        if (search.matches(texts[row]))
            found.push_back(row);
    QList<ContactTexts> shown;
    for (const int row : inNameOrder(book, texts, found))
        shown << texts[row];
    PrintContacts(run.console, shown, split.has(QStringLiteral("--pinyin")));
    return ExitCode::Success;
}
