// export FILE: every contact in table order, in the format of the file's extension.

#include "book/AtomicSave.h"
#include "book/BookFile.h"
#include "book/Commands.h"
#include "book/GuiReport.h"
#include "exchange/Formats.h"

int RunExport(BookRun& run, const QStringList& arguments)
{
    QStringList files = SplitArguments(QStringLiteral("export"), arguments).operands;
    if (files.isEmpty() && run.gui) {
        const std::optional<QString> chosen = AskExportFile();
        if (!chosen)
            return ExitCode::Failure;  // cancelled: nothing to say, nothing written
        files << *chosen;
    }
    if (files.size() != 1)
        throw UsageError(QStringLiteral("export 需要一个文件"));
    const QString target = files.first();
    const ExportFormat* format = FindExportFormat(target);
    if (!format)
        throw UsageError(
            QStringLiteral("不能导出为 %1：支持的文件类型为 %2").arg(ShownPath(target), ExportPatterns().join(u' ')));

    BookFile book(run.database, &run);
    const QList<StoredContact> contacts = book.contacts();
    SaveAtomically(target, [&](const QString& path) { format->write(path, contacts); });
    const QString written =
        format->written ? format->written(contacts) : QStringLiteral("%1 个联系人").arg(contacts.size());
    run.console.out(QStringLiteral("已导出 %1到 %2").arg(written, ShownPath(target)));
    return ExitCode::Success;
}
