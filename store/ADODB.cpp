// TADOConnection: one SQLCipher file, opened with its key. The key is proven by
// a first read before the connection calls itself connected; a failed open
// leaves the connection closed and the file exactly as it was.

#include "ADODB.h"

#include "store/ConnectionText.h"
#include "store/SqliteHandle.h"

#include <atomic>
#include <system_error>
#include <thread>

struct TADOConnection::Impl {
    SqliteHandle db;
    // The handle's reading ahead (ReadAhead): while it runs, the thread alone uses the handle.
    std::thread lent;
    std::atomic<bool> stopLent{false};

    // Stops the reading ahead and waits for it: the handle is this thread's again.
    void takeBack()
    {
        if (!lent.joinable())
            return;
        stopLent = true;
        lent.join();
    }
    ~Impl() { takeBack(); }
};

TADOConnection::TADOConnection(QString name) : Name(std::move(name)), d(std::make_unique<Impl>()) {}

TADOConnection::~TADOConnection() = default;

bool TADOConnection::Connected() const
{
    return d->db != nullptr;
}

void TADOConnection::ReadAhead(std::function<void(sqlite3* db, const std::atomic<bool>& stop)> work)
{
    d->takeBack();
    if (!d->db)
        return;
    d->stopLent = false;
    try {
        d->lent = std::thread([db = d->db.get(), stop = &d->stopLent, work = std::move(work)] { work(db, *stop); });
    } catch (const std::system_error&) {
        // No thread to be had: the records are read when they are needed, as without it.
    }
}

void TADOConnection::ReadAhead(const QString& table)
{
    ReadAhead([sql = QStringLiteral("select rowid from ") + table](sqlite3* db, const std::atomic<bool>& stop) {
        try {
            // Each row is one step: a stop is heard at once.
            Statement rows(db, sql);
            while (!stop && rows.step()) {
            }
        } catch (...) {
            // Whatever failed here, the read that needs the records meets and says it.
        }
    });
}

void TADOConnection::SetConnected(bool on)
{
    on ? Open() : Close();
}

QString TADOConnection::DataSource() const
{
    return ConnectionValue(ConnectionString, QStringLiteral("Data Source"));
}

void TADOConnection::Open()
{
    if (d->db)
        return;
    if (!IsJetProvider(ConnectionString))
        RaiseDatabaseError(Name, QStringLiteral("未找到提供程序。该程序可能未正确安装。"));
    const QString password = ConnectionValue(ConnectionString, QStringLiteral("Jet OLEDB:Database Password"));
    const QString mode = ConnectionValue(ConnectionString, QStringLiteral("Mode"));
    const bool readOnly = mode.compare(QStringLiteral("Read"), Qt::CaseInsensitive) == 0;
    d->db = DatabaseWork(Name, [&] { return OpenExistingWithKey(DataSource(), password, readOnly); });
}

void TADOConnection::Adopt(SqliteHandle db)
{
    d->takeBack();
    d->db = std::move(db);
}

void TADOConnection::Close()
{
    d->takeBack();
    d->db.reset();
}

void TADOConnection::Execute(const QString& sql)
{
    sqlite3* db = Handle();
    DatabaseWork(Name, [&] { ExecuteAll(db, sql); });
}

sqlite3* TADOConnection::Handle()
{
    d->takeBack();
    Open();
    return d->db.get();
}

void TADOConnection::BeginTrans()
{
    Execute(QStringLiteral("begin immediate"));
}

void TADOConnection::CommitTrans()
{
    Execute(QStringLiteral("commit"));
}

void TADOConnection::RollbackTrans()
{
    if (InTransaction())
        Execute(QStringLiteral("rollback"));
}

bool TADOConnection::InTransaction() const
{
    d->takeBack();
    return d->db && !sqlite3_get_autocommit(d->db.get());
}

void InOneTransaction(TADOConnection& connection, const std::function<void()>& work)
{
    connection.BeginTrans();
    DatabaseWork(connection.Name, [&] {
        try {
            work();
            connection.CommitTrans();
        } catch (...) {
            connection.RollbackTrans();
            throw;
        }
    });
}
