#include "ImportFiles.h"

#include "book/BookFile.h"
#include "book/BookGate.h"
#include "book/BookWrite.h"
#include "book/ContactScan.h"
#include "exchange/Formats.h"
#include "exchange/HandOver.h"
#include "exchange/SpoolFile.h"
#include "platform/FileMessages.h"
#include "platform/OtherHolders.h"
#include "store/ContactColumns.h"
#include "store/ContactSchema.h"

#include <QFileInfo>
#include <exception>
#include <thread>

QString UnimportableReason(const QString& file)
{
    if (FindImportFormat(file))
        return {};
    return QStringLiteral("不能导入 %1：支持的文件类型为 %2").arg(ShownPath(file), ImportPatterns().join(u' '));
}

namespace {

// The file's drafts into a spool of their own; a format that only reads whole
// gives its drafts up one by one as they go in.
ImportSource spooledFile(const QString& file, const std::shared_ptr<SpoolFile>& spoolFile)
{
    const ImportFormat* format = FindImportFormat(file);
    auto spool = std::make_shared<DraftSpool>(spoolFile);
    ImportSource source{QFileInfo(file).fileName(), {}, spool};
    if (format->stream) {
        source.cards.notes = format->stream(file, *spool);
    } else {
        DraftSet read = format->read(file);
        for (ContactDraft& draft : read.drafts)
            spool->take(std::move(draft));
        spool->failures = std::move(read.failures);
        source.cards.notes = std::move(read.notes);
    }
    source.cards.failures = std::move(spool->failures);
    return source;
}

// A reader's refusal names the file, so that among several the person knows which one.
[[noreturn]] void refuseFile(const QString& file, const ExchangeError& error)
{
    if (error.Message.contains(QFileInfo(file).fileName()))
        throw;
    throw ExchangeError(cannotReadMessage(ShownPath(file), error.Message));
}

ImportSource namedSpooledFile(const QString& file, const std::shared_ptr<SpoolFile>& spoolFile)
{
    try {
        return spooledFile(file, spoolFile);
    } catch (const ExchangeError& error) {
        refuseFile(file, error);
    }
}

}  // namespace

QList<ImportSource> ReadImportFiles(const QStringList& files, const ReadProgress& progress)
{
    QList<ImportSource> sources;
    const auto goOn = [&] {
        if (progress && !progress(int(sources.size())))
            throw ImportCancelled();
    };
    const auto spoolFile = std::make_shared<SpoolFile>();
    for (const QString& file : files) {
        goOn();
        sources.push_back(namedSpooledFile(file, spoolFile));
    }
    goOn();
    return sources;
}

ReadFiles ReadEachImportFile(const QStringList& files, const ReadProgress& progress)
{
    ReadFiles read;
    const auto goOn = [&](int done) {
        if (progress && !progress(done))
            throw ImportCancelled();
    };
    const auto spoolFile = std::make_shared<SpoolFile>();
    for (int i = 0; i < files.size(); ++i) {
        goOn(i);
        try {
            read.sources.push_back(namedSpooledFile(files[i], spoolFile));
        } catch (const ExchangeError& error) {
            read.refused << files[i];
            read.reasons << error.Message;
        }
    }
    goOn(int(files.size()));
    return read;
}

QStringList FileNotes(const QList<ImportSource>& sources)
{
    QStringList lines;
    for (const ImportSource& source : sources)
        for (const QString& note : source.cards.notes)
            lines << QStringLiteral("%1：%2").arg(source.name, note);
    return lines;
}

ImportReading::ImportReading(QStringList files)
    : files_(std::move(files)), spool_(std::make_shared<SpoolFile>()), notes_(files_.size())
{
    for (const QString& file : files_)
        names_ << QFileInfo(file).fileName();
    thread_ = std::thread([this] { read(); });
}

ImportReading::~ImportReading()
{
    queue_.abandon();
    if (thread_.joinable())
        thread_.join();
}

void ImportReading::read()
{
    try {
        for (int i = 0; i < files_.size(); ++i) {
            const ImportFormat* format = FindImportFormat(files_[i]);
            QueuedFile sink(queue_, i);
            if (format->stream) {
                try {
                    notes_[i] = format->stream(files_[i], sink);
                } catch (const ExchangeError& error) {
                    refuseFile(files_[i], error);
                }
                continue;
            }
            // A format that only reads whole gives its cards in line order, as they are planned.
            DraftSet read;
            try {
                read = format->read(files_[i]);
            } catch (const ExchangeError& error) {
                refuseFile(files_[i], error);
            }
            ImportSource whole{names_[i], std::move(read), nullptr};
            for (const ImportEntry& entry : EntriesInLineOrder(whole)) {
                if (entry.failure)
                    sink.take(DraftFailure(*entry.failure));
                else
                    sink.take(ContactDraft(*entry.draft));
            }
            notes_[i] = std::move(whole.cards.notes);
        }
        queue_.close();
    } catch (const DraftQueue::Abandoned&) {
        queue_.close();
    } catch (...) {
        queue_.close(std::current_exception());
    }
}

QList<ImportSource> ImportReading::finish()
{
    if (!finished_) {
        QueuedCard rest;
        while (queue_.pop(rest)) {
        }
        thread_.join();
        finished_ = true;
    }
    if (const std::exception_ptr error = queue_.error())
        std::rethrow_exception(error);
    QList<ImportSource> sources;
    for (int i = 0; i < files_.size(); ++i)
        sources.push_back({names_[i], {{}, {}, notes_[i]}, nullptr});
    return sources;
}

namespace {

struct BookForPlanning {
    ColumnWidths widths;
    QList<ContactHoldings> holdings;
};

// The widths come from the columns alone; the records are read once, texts only.
BookForPlanning bookForPlanning(TADOConnection& connection, BookRun* gate)
{
    if (gate)
        UnlockBook(*gate, LoginCheck(connection));
    TADOQuery columns(QStringLiteral("联系人"));
    columns.Connection = &connection;
    columns.SQL.append(QStringLiteral("select * from %1 where 0").arg(ContactSchema::ContactTable()));
    columns.Open();
    const ColumnWidths widths = ContactWidths(columns);
    columns.Close();
    return {widths, BookHoldings(connection.Handle())};
}

BookForPlanning newBook()
{
    return {ContactWidths(ContactSchema::ContactColumns()), {}};
}

ImportPlan planSources(const QList<ImportSource>& sources, BookForPlanning book)
{
    return PlanImport(sources, book.widths, std::move(book.holdings));
}

// The cards planned as they are read, each one to add handed to whenAdded as
// soon as it is planned; nullopt when they came out of line order.
std::optional<ImportPlan> planAsRead(ImportReading& reading, BookForPlanning book,
                                     const std::function<void(const FittedContact&)>& whenAdded = {})
{
    std::optional<ImportPlan> plan = PlanImportAsRead(reading.queue(), reading.names(), reading.spool(), book.widths,
                                                      std::move(book.holdings), whenAdded);
    reading.finish();
    return plan;
}

// The same, with the files read again and planned whole when their cards came
// out of line order. book() is asked once for each plan.
ImportPlan planReading(ImportReading& reading, const std::function<BookForPlanning()>& book)
{
    if (std::optional<ImportPlan> plan = planAsRead(reading, book()))
        return std::move(*plan);
    return planSources(ReadImportFiles(reading.files()), book());
}

}  // namespace

ImportPlan PlanBookImport(const QString& path, const QList<ImportSource>& sources, BookRun* gate)
{
    TADOConnection connection(QStringLiteral("通讯录"));
    OpenBookConnection(connection, path);
    return PlanBookImport(connection, sources, gate);
}

ImportPlan PlanBookImport(TADOConnection& book, const QList<ImportSource>& sources, BookRun* gate)
{
    return planSources(sources, bookForPlanning(book, gate));
}

ImportPlan PlanBookImport(TADOConnection& book, ImportReading& reading, BookRun* gate)
{
    // The password, once it opened the book, is not asked again for a second plan.
    return planReading(reading, [&] { return bookForPlanning(book, gate); });
}

namespace {

// Contacts appended on a thread of their own as they are handed over, so that
// the book's page encryption goes on beside the planning. A failed write
// stops taking contacts: the next one handed over raises HandOverAbandoned,
// and finish() raises the write's own error.
class AppendingBeside {
public:
    explicit AppendingBeside(TADOConnection& book) : appending_(book), thread_([this] { write(); }) {}
    AppendingBeside(const AppendingBeside&) = delete;
    AppendingBeside& operator=(const AppendingBeside&) = delete;
    // Whatever was not committed is undone once the thread has stopped.
    ~AppendingBeside()
    {
        contacts_.abandon();
        if (thread_.joinable())
            thread_.join();
    }

    void add(const FittedContact& contact) { contacts_.push(contact); }
    // Waits until every contact handed over is written. Raises what the write raised.
    void finish()
    {
        contacts_.close();
        thread_.join();
        if (error_)
            std::rethrow_exception(error_);
    }
    void commit() { appending_.commit(); }

private:
    void write()
    {
        try {
            FittedContact contact;
            while (contacts_.pop(contact))
                appending_.add(contact);
        } catch (...) {
            error_ = std::current_exception();
            contacts_.abandon();
        }
    }

    ContactAppending appending_;
    HandOver<FittedContact> contacts_;
    std::exception_ptr error_;  // the writing thread's, read once it has ended
    std::thread thread_;
};

}  // namespace

ImportPlan ImportIntoBook(TADOConnection& book, ImportReading& reading, BookRun* gate)
{
    BookForPlanning planning = bookForPlanning(book, gate);
    {
        AppendingBeside appending(book);
        std::optional<ImportPlan> plan;
        try {
            plan =
                planAsRead(reading, std::move(planning), [&](const FittedContact& contact) { appending.add(contact); });
        } catch (const HandOverAbandoned&) {
            appending.finish();  // the write failed: its error is the one to say
            throw;
        }
        appending.finish();
        if (plan) {
            appending.commit();
            return std::move(*plan);
        }
    }  // planned out of order: what was written is undone, and the files are read and written again
    ImportPlan plan = planSources(ReadImportFiles(reading.files()), bookForPlanning(book, gate));
    WriteImport(book, plan);
    return plan;
}

ImportPlan PlanNewBookImport(ImportReading& reading)
{
    return planReading(reading, newBook);
}

ImportPlan PlanNewBookImport(const QList<ImportSource>& sources)
{
    return planSources(sources, newBook());
}

void WriteImport(const QString& path, const ImportPlan& plan, const WriteProgress& progress)
{
    if (plan.toAdd.isEmpty())
        return;
    TADOConnection connection(QStringLiteral("通讯录"));
    OpenBookConnection(connection, path);
    WriteImport(connection, plan, progress);
}

void WriteImport(TADOConnection& book, const ImportPlan& plan, const WriteProgress& progress)
{
    AddContacts(book, plan.toAdd, progress);
}

QStringList ImportClosingLines(const QString& path, const ImportPlan& plan, bool bookCreated)
{
    QStringList lines;
    if (bookCreated)
        lines << QStringLiteral("新建了通讯录 %1").arg(ShownPath(path));
    if (plan.added() > 0 && !OtherHolders(path).isEmpty())
        lines << QStringLiteral("通讯录正被 Tessaly 窗口打开：联系人已存入，窗口下次启动后才会显示。");
    lines << ImportSummary(plan, true);
    return lines;
}
