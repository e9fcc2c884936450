// find: the contacts a text finds (inside any of their texts or the values
// kept beside them, a number whatever its separators, or as the pinyin typed
// for the name), printed as list prints them, in the window's order by 姓名.
// The book is read once, row by row: only the contacts found are kept.

#include "book/Commands.h"
#include "book/ContactListing.h"
#include "book/ContactScan.h"
#include "book/NameOrder.h"
#include "exchange/pinyin/ContactSearch.h"

namespace {

struct Found {
    ContactTexts texts;
    bool nameIsNull;
};

QList<ContactTexts> inNameOrder(const std::vector<Found>& found)
{
    const int name = int(ContactText::Name);
    QList<ContactTexts> ordered;
    ordered.reserve(qsizetype(found.size()));
    for (const int row : InNameOrder(int(found.size()), [&](int row) -> std::optional<QString> {
             if (found[size_t(row)].nameIsNull)
                 return std::nullopt;
             return found[size_t(row)].texts[size_t(name)];
         }))
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
    std::vector<QByteArrayView> searched;
    const auto finds = [&](const ScannedContact& contact) {
        searched.assign(contact.texts.begin(), contact.texts.end());
        searched.insert(searched.end(), contact.kept.begin(), contact.kept.end());
        return search.matches(searched);
    };
    ScanContacts(run, finds, [&](const ScannedContact& contact) {
        Found f{{}, contact.isNull[size_t(ContactText::Name)]};
        for (int i = 0; i < ContactTextCount; ++i)
            f.texts[size_t(i)] = QString::fromUtf8(contact.texts[size_t(i)]);
        found.push_back(std::move(f));
    });
    PrintContacts(run.console, inNameOrder(found), split.has(QStringLiteral("--pinyin")));
    return ExitCode::Success;
}
