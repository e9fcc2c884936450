// list: every contact in table order, texts trimmed; --numbers puts each record's
// number first (what qr takes), --pinyin adds the names' pinyin.

#include "book/BookFile.h"
#include "book/Commands.h"
#include "book/ContactListing.h"

int RunList(BookRun& run, const QStringList& arguments)
{
    const CommandArguments split =
        SplitArguments(QStringLiteral("list"), arguments, {QStringLiteral("--pinyin"), QStringLiteral("--numbers")});
    if (!split.operands.isEmpty())
        throw UsageError(QStringLiteral("list 不接受参数 %1").arg(split.operands.first()));
    BookFile book(run.database, &run);
    QList<qint64> numbers;
    for (int row = 0; row < book.query.RecordCount(); ++row)
        numbers << book.query.RecordId(row);
    PrintContacts(run.console, book.texts(), split.has(QStringLiteral("--pinyin")),
                  split.has(QStringLiteral("--numbers")) ? &numbers : nullptr);
    return ExitCode::Success;
}
