#include "BookHeadStart.h"

#include "platform/FileNames.h"
#include "store/ADODB.h"
#include "store/DbHelpers.h"
#include "store/KeptCount.h"
#include "store/SqliteHandle.h"

#include <QFile>
#include <QFileInfo>
#include <optional>
#include <system_error>
#include <utility>

namespace {

BookHeadStart* running = nullptr;

// A journal beside the book may be one a reader has to roll back, which writes.
bool hasJournal(const QString& fileName)
{
    return QFileInfo::exists(fileName + QStringLiteral("-journal"))
           || QFileInfo::exists(fileName + QStringLiteral("-wal"));
}

}  // namespace

// What the thread is given and what it leaves; read by the owner only after the thread has ended.
struct BookHeadStart::Work {
    QString fileName;
    QString password;
    QString table;

    SqliteHandle db;  // null when anything failed
    std::optional<FileIdentity> file;
    qint64 version = 0;
    int count = 0;

    void run() noexcept
    {
        try {
            if (hasJournal(fileName))
                return;
            // Taken before the open: a file put in its place later is told apart.
            file = IdentityOf(fileName);
            // The mode the main window opens the book in, so that its connection
            // can be this one. Another copy writing makes it give up at once,
            // leaving the wait to the opening, which waits as it always did.
            SqliteHandle opened = OpenExistingWithKey(fileName, password, false, 0);
            // Before the count: a change after it read its pages shows as another version.
            version = DataVersion(opened.get());
            count = int(CountForOpening(opened.get(), table));
            db = std::move(opened);
        } catch (...) {
            // The opening meets the same failure itself and shows it then.
            db.reset();
        }
    }

    // The handle, when it is still the book's as it was counted; else closes it.
    SqliteHandle takeIfUnchanged(const QString& name, const QString& key, const QString& tableName)
    {
        SqliteHandle handle = std::move(db);
        if (!handle || name != fileName || key != password || tableName != table || !file
            || IdentityOf(fileName) != file)
            return nullptr;
        try {
            if (DataVersion(handle.get()) != version)
                return nullptr;
        } catch (const SqliteFailure&) {
            return nullptr;
        }
        // From here on it is the opening's connection, and waits as every connection does.
        sqlite3_busy_timeout(handle.get(), BusyTimeoutMs);
        return handle;
    }
};

BookHeadStart::BookHeadStart(QString fileName, QString password, QString table)
    : work_(std::make_unique<Work>()), previous_(std::exchange(running, this))
{
    work_->fileName = std::move(fileName);
    work_->password = std::move(password);
    work_->table = std::move(table);
    // Without SQLite's threading the handle must not leave the thread that opened it.
    if (!QFileInfo(work_->fileName).isFile() || sqlite3_threadsafe() == 0)
        return;
    try {
        thread_ = std::thread([work = work_.get()] { work->run(); });
    } catch (const std::system_error&) {
        // No thread to be had: the opening does the work, as it would have anyway.
    }
}

BookHeadStart::~BookHeadStart()
{
    if (thread_.joinable())
        thread_.join();
    if (running == this)
        running = previous_;
}

BookHeadStart* BookHeadStart::Running()
{
    return running;
}

bool BookHeadStart::TakeOver(TADOConnection& connection, TADOQuery& query, const QString& fileName,
                             const QString& password, const QString& table)
{
    if (thread_.joinable())
        thread_.join();
    SqliteHandle db = work_->takeIfUnchanged(fileName, password, table);
    if (!db)
        return false;
    connection.Adopt(std::move(db));
    if (OpenJetDatabase(connection, fileName, password)) {
        query.SetCountedRecords(work_->count);
        if (OpenTable(query, table))
            return true;
    }
    query.Close();
    connection.Close();
    return false;
}

bool OpenFromHeadStart(TADOConnection& connection, TADOQuery& query, const QString& fileName, const QString& password,
                       const QString& table)
{
    BookHeadStart* headStart = BookHeadStart::Running();
    return headStart && headStart->TakeOver(connection, query, fileName, password, table);
}
