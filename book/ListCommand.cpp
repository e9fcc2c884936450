// list: every contact in table order, texts trimmed; --pinyin adds the names' pinyin.

#include "book/BookFile.h"
#include "book/Commands.h"
#include "book/ContactListing.h"

int RunList(BookRun& run, const QStringList& arguments)
{
    const CommandArguments split = SplitArguments(QStringLiteral("list"), arguments, {QStringLiteral("--pinyin")});
    if (!split.operands.isEmpty())
        throw UsageError(QStringLiteral("list 不接受参数 %1").arg(split.operands.first()));
    BookFile book(run.database, &run);
    PrintContacts(run.console, book.texts(), split.has(QStringLiteral("--pinyin")));
    return ExitCode::Success;
}
