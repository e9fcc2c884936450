// export FILE: every contact in table order, in the format of the file's
// extension; a .pdf prints the book instead (--style, --category, --find, --columns).

#include "book/BookFile.h"
#include "book/Commands.h"
#include "book/ExportBook.h"
#include "book/GuiReport.h"
#include "book/PrintBook.h"

namespace {

const QString Command = QStringLiteral("export");

// The print options, taken out of the arguments; nothing when none was given.
std::optional<PrintChoice> takePrintChoice(QStringList& arguments)
{
    std::optional<PrintChoice> choice;
    const auto take = [&](const QString& option) {
        std::optional<QString> value = TakeOptionValue(Command, arguments, option);
        if (value && !choice)
            choice.emplace();
        return value;
    };
    const std::optional<QString> style = take(QStringLiteral("--style"));
    const std::optional<QString> category = take(QStringLiteral("--category"));
    const std::optional<QString> find = take(QStringLiteral("--find"));
    const std::optional<QString> columns = take(QStringLiteral("--columns"));
    if (!choice)
        return choice;
    if (style) {
        const std::optional<PrintStyle> named = PrintStyleNamed(*style);
        if (!named)
            throw UsageError(QStringLiteral("export 的 --style 须为 通讯录 或 名片：%1").arg(*style));
        choice->style = *named;
    }
    choice->category = category.value_or(QString());
    choice->find = find.value_or(QString());
    if (columns)
        choice->columns = PrintColumnsNamed(*columns);
    return choice;
}

}  // namespace

bool IsPrintTarget(const QString& path)
{
    return FileExtension(path) == QStringLiteral("pdf");
}

int RunExport(BookRun& run, const QStringList& arguments)
{
    QStringList rest = arguments;
    const std::optional<PrintChoice> print = takePrintChoice(rest);
    QStringList files = SplitArguments(Command, rest).operands;
    if (files.isEmpty() && run.gui) {
        const std::optional<QString> chosen = AskExportFile();
        if (!chosen)
            return ExitCode::Failure;  // cancelled: nothing to say, nothing written
        files << *chosen;
    }
    if (files.size() != 1)
        throw UsageError(QStringLiteral("export 需要一个文件"));
    const QString target = files.first();
    if (IsPrintTarget(target)) {
        run.console.out(PrintBookToPdf(run.database, target, print.value_or(PrintChoice()), nullptr, &run));
        return ExitCode::Success;
    }
    if (print)
        throw UsageError(QStringLiteral("--style、--category、--find、--columns 只用于打印为 PDF（*.pdf）"));
    const ExportFormat* format = FindExportFormat(target);
    if (!format)
        throw UsageError(QStringLiteral("不能导出为 %1：支持的文件类型为 %2 *.pdf")
                             .arg(ShownPath(target), ExportPatterns().join(u' ')));

    run.console.out(ExportBook(run.database, target, *format, &run));
    return ExitCode::Success;
}
