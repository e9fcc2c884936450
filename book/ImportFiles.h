#pragma once
// An import's steps, shared by the import command and the tools window:
// read the files, plan against the book, write the chosen contacts, and the
// lines that close the report.

#include "exchange/DraftQueue.h"
#include "exchange/ImportPlan.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <thread>

// "不能导入 a.txt：支持的文件类型为 *.vcf …", or empty when the file's kind can be imported.
QString UnimportableReason(const QString& file);

// Told how many files are read, before each file and once all are; false stops the reading.
using ReadProgress = std::function<bool(int filesRead)>;

// Every file read into drafts, in order. The drafts are held in a temporary
// spool file, not in memory (DraftSpool.h). Raises ExchangeError for a file
// that cannot be read at all, ImportCancelled when the progress said stop.
QList<ImportSource> ReadImportFiles(const QStringList& files, const ReadProgress& progress = {});

// The files read, each on its own: one that cannot be read is left out and
// named with its reason, and the others are read all the same.
struct ReadFiles {
    QList<ImportSource> sources;  // the files read, in order
    QStringList refused;          // the files left out, as given
    QStringList reasons;          // for each, "无法读取文件 a.vcf：…"
};
ReadFiles ReadEachImportFile(const QStringList& files, const ReadProgress& progress = {});

// What each file says of itself, for the report: "通讯录.csv：编码：GBK（自动识别）".
QStringList FileNotes(const QList<ImportSource>& sources);

// The files read into drafts in a thread of their own while the caller opens
// the book and plans (PlanBookImport below) the cards as they come, so that
// the two take turns on the machine's cores rather than one after the other.
class ImportReading {
public:
    // Starts reading. Raises ExchangeError when no spool file can be made.
    explicit ImportReading(QStringList files);
    ImportReading(const ImportReading&) = delete;
    ImportReading& operator=(const ImportReading&) = delete;
    // Stops the reading where it is when it was not finished.
    ~ImportReading();

    const QStringList& files() const { return files_; }
    // For PlanImportAsRead: the cards as read, the files as the report names them, the spool for their photos.
    DraftQueue& queue() { return queue_; }
    const QStringList& names() const { return names_; }
    const std::shared_ptr<SpoolFile>& spool() const { return spool_; }
    // The rest of the cards let go, the reading waited for: the files with
    // what each says of itself (no drafts). Raises what ReadImportFiles raises
    // for the files, so a file that cannot be read is said before anything else.
    QList<ImportSource> finish();

private:
    void read();

    QStringList files_;
    QStringList names_;
    std::shared_ptr<SpoolFile> spool_;
    DraftQueue queue_;
    QList<QStringList> notes_;  // each file's, written by the reading thread until it ends
    std::thread thread_;
    bool finished_ = false;
};

struct BookRun;
class TADOConnection;

// The plan for the sources against the existing book at path: its column
// widths and the names and phones already in it. Reads no photo. With a run,
// only after its login password opened the book (see BookFile).
ImportPlan PlanBookImport(const QString& path, const QList<ImportSource>& sources, BookRun* gate = nullptr);
// The same against the book open on the connection.
ImportPlan PlanBookImport(TADOConnection& book, const QList<ImportSource>& sources, BookRun* gate = nullptr);
// The same for the files as they are read. Reads the files again and plans
// them as above when their cards came out of line order.
ImportPlan PlanBookImport(TADOConnection& book, ImportReading& reading, BookRun* gate = nullptr);
// The same, with each contact to add written as soon as it is planned (on a
// thread of its own), in one transaction that is committed once every file
// was read: the writing goes on beside the reading and the planning. A
// failure anywhere undoes every contact written.
ImportPlan ImportIntoBook(TADOConnection& book, ImportReading& reading, BookRun* gate = nullptr);
// The plan against a book not made yet: the columns its statement declares, nobody in it.
ImportPlan PlanNewBookImport(ImportReading& reading);
ImportPlan PlanNewBookImport(const QList<ImportSource>& sources);

// Told after each contact written: returns false to cancel, and the whole write is undone.
using WriteProgress = std::function<bool(int written, int total)>;

// Writes the plan's contacts into the existing book at path in one transaction.
// Raises EDatabaseError (or ImportCancelled) after undoing every one of them.
void WriteImport(const QString& path, const ImportPlan& plan, const WriteProgress& progress = {});
// The same through the connection open on the book.
void WriteImport(TADOConnection& book, const ImportPlan& plan, const WriteProgress& progress = {});

// The last lines of a written import's report: a new book, the window program
// that holds the book, the summary.
QStringList ImportClosingLines(const QString& path, const ImportPlan& plan, bool bookCreated);
