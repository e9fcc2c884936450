// list: every contact in table order, texts trimmed.

#include "BookFile.h"
#include "Commands.h"
#include "ContactSchema.h"
#include "ListTable.h"

int RunList(BookRun& run, const QStringList& arguments)
{
    const CommandArguments split = SplitArguments(QStringLiteral("list"), arguments);
    if (!split.operands.isEmpty())
        throw UsageError(QStringLiteral("list 不接受参数 %1").arg(split.operands.first()));
    BookFile book(run.database);
    QList<QStringList> rows;
    for (const ContactTexts& texts : book.texts())
        rows << QStringList(texts.begin(), texts.end());
    const QStringList lines = run.console.outIsTerminal() ? Aligned(ContactTextColumns(), rows)
                                                          : TabSeparated(ContactTextColumns(), rows);
    for (const QString& line : lines)
        run.console.out(line);
    return ExitCode::Success;
}
