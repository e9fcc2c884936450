// import [--dry-run] FILE...: every card is fitted and planned against the
// book, and all cards go in within one transaction, or none. With the password
// in a file the cards are written as they are planned, the transaction
// committed once every file was read; else every file is read before the
// password is asked and the book is touched.

#include "book/BookFile.h"
#include "book/BookGate.h"
#include "book/BookWrite.h"
#include "book/Commands.h"
#include "book/ImportFiles.h"

#include <QFileInfo>
#include <optional>

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
        if (const QString reason = UnimportableReason(file); !reason.isEmpty())
            throw UsageError(reason);
    return options;
}

// What each file says of itself (its encoding, rows that are no contacts), then card by card.
void report(Console& console, const QList<ImportSource>& sources, const ImportPlan& plan)
{
    for (const QString& note : FileNotes(sources))
        console.out(note);
    for (const QString& line : plan.report)
        console.out(line);
}

}  // namespace

int RunImport(BookRun& run, const QStringList& arguments)
{
    const ImportOptions options = parseImport(arguments);
    // A password that needs no asking lets the book be opened while the files
    // are read; one asked at the terminal is asked once they have been read.
    std::optional<ImportReading> reading;
    QList<ImportSource> sources;
    if (run.passwordFile.isEmpty())
        sources = ReadImportFiles(options.files);
    else
        reading.emplace(options.files);

    // A book that does not exist yet is made as the window makes it, with the
    // factory password, which is asked for all the same; a dry run plans against
    // the columns such a book would have, with nobody in it. The book is opened
    // once: the key's derivation is paid once per run.
    const bool missing = !QFileInfo::exists(run.database);
    const QString& path = run.database;
    std::optional<NewBookGuard> created;
    TADOConnection book(QStringLiteral("通讯录"));  // closed before a made book is removed again
    ImportPlan plan;
    try {
        if (missing)
            UnlockBook(run, LoginCheck(FactoryPassword));
        if (missing && options.dryRun) {
            plan = reading ? PlanNewBookImport(*reading) : PlanNewBookImport(sources);
        } else {
            if (missing)
                CreateBook(path, book);
            else
                OpenBookConnection(book, path);
            created.emplace(missing ? path : QString());
            BookRun* gate = missing ? nullptr : &run;
            if (!reading)
                plan = PlanBookImport(book, sources, gate);
            else if (options.dryRun)
                plan = PlanBookImport(book, *reading, gate);
            else
                plan = ImportIntoBook(book, *reading, gate);
        }
        if (reading)
            sources = reading->finish();
    } catch (...) {
        // A file that cannot be read is said first, as when it is read before the book is opened.
        if (reading)
            reading->finish();
        throw;
    }
    report(run.console, sources, plan);
    if (options.dryRun) {
        run.console.out(ImportSummary(plan, false));
        return ExitCode::Success;
    }
    if (!reading) {
        // Said: the cards and their report lines make room for the writing.
        plan.cards = {};
        plan.report = {};
        WriteImport(book, plan);
    }
    created->keep();
    for (const QString& line : ImportClosingLines(path, plan, missing))
        run.console.out(line);
    return ExitCode::Success;
}
