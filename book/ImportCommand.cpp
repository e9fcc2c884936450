// import [--dry-run] FILE...: every file is read and every card fitted before
// the book is touched; then all cards go in within one transaction, or none.

#include "book/BookFile.h"
#include "book/BookGate.h"
#include "book/BookWrite.h"
#include "book/Commands.h"
#include "book/KeptValues.h"
#include "exchange/Formats.h"
#include "exchange/ImportPlan.h"
#include "platform/OtherHolders.h"
#include "store/ContactSchema.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

struct ImportOptions {
    bool dryRun = false;
    QStringList files;
};

ImportOptions parseImport(const QStringList& arguments)
{
    const CommandArguments split = SplitArguments(QStringLiteral("import"), arguments, {QStringLiteral("--dry-run")});
    ImportOptions options{split.has(QStringLiteral("--dry-run")), split.operands};
    if (options.files.isEmpty())
        throw UsageError(QStringLiteral("import 需要至少一个文件"));
    for (const QString& file : options.files)
        if (!FindImportFormat(file))
            throw UsageError(
                QStringLiteral("不能导入 %1：支持的文件类型为 %2").arg(ShownPath(file), ImportPatterns().join(u' ')));
    return options;
}

QList<ImportSource> readAll(const QStringList& files)
{
    QList<ImportSource> sources;
    for (const QString& file : files)
        sources.push_back({QFileInfo(file).fileName(), FindImportFormat(file)->read(file)});
    return sources;
}

void report(Console& console, const ImportPlan& plan)
{
    for (const QString& line : plan.report)
        console.out(line);
}

}  // namespace

int RunImport(BookRun& run, const QStringList& arguments)
{
    const ImportOptions options = parseImport(arguments);
    const QList<ImportSource> sources = readAll(options.files);

    // A book that does not exist yet is made as the window makes it, with the
    // factory password, which is asked for all the same; a dry run plans against
    // such an empty book in a folder of its own.
    const bool missing = !QFileInfo::exists(run.database);
    if (missing)
        UnlockBook(run, LoginCheck(FactoryPassword));
    QTemporaryDir scratch;
    QString path = run.database;
    if (missing && options.dryRun)
        path = scratch.filePath(QStringLiteral("Kalvo.mdb"));
    if (missing)
        CreateBook(path);
    NewBookGuard created(missing && !options.dryRun ? path : QString());

    BookFile book(path, missing ? nullptr : &run);
    const ImportPlan plan = PlanImport(sources, ContactWidths(book.query), BookHoldings(book.connection.Handle()));
    report(run.console, plan);
    if (options.dryRun) {
        run.console.out(ImportSummary(plan, false));
        return ExitCode::Success;
    }
    AddContacts(book, plan.toAdd);
    created.keep();
    if (missing)
        run.console.out(QStringLiteral("新建了通讯录 %1").arg(ShownPath(path)));
    if (plan.added() > 0 && !OtherHolders(path).isEmpty())
        run.console.out(QStringLiteral("通讯录正被 Tessaly 窗口打开：联系人已存入，窗口下次启动后才会显示。"));
    run.console.out(ImportSummary(plan, true));
    return ExitCode::Success;
}
