// TADOConnection: one SQLCipher file, opened with its key. The key is proven by
// a first read before the connection calls itself connected; a failed open
// leaves the connection closed and the file exactly as it was.

#include "ADODB.h"

#include "store/ConnectionText.h"
#include "store/SqliteHandle.h"

#include <QFile>
#include <QFileInfo>

struct TADOConnection::Impl {
    SqliteHandle db;
};

TADOConnection::TADOConnection(QString name) : Name(std::move(name)), d(std::make_unique<Impl>()) {}

TADOConnection::~TADOConnection() = default;

bool TADOConnection::Connected() const
{
    return d->db != nullptr;
}

void TADOConnection::SetConnected(bool on)
{
    on ? Open() : Close();
}

QString TADOConnection::DataSource() const
{
    return ConnectionValue(ConnectionString, QStringLiteral("Data Source"));
}

// Opens an existing database file with its key; raises the failure's text.
static SqliteHandle openKeyed(const QString& fileName, const QString& password, bool readOnly)
{
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.exists() || info.isDir())
        throw SqliteFailure{SQLITE_CANTOPEN, SqliteErrorText(SQLITE_CANTOPEN, nullptr)};
    // An empty file would take any key and become a database on the first write.
    if (info.size() == 0)
        throw SqliteFailure{SQLITE_NOTADB, SqliteErrorText(SQLITE_NOTADB, nullptr)};

    // Never SQLITE_OPEN_CREATE: a missing file must not appear.
    SqliteHandle db = OpenWithKey(fileName, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, password);
    // A wrong key or a file that is no database shows only at the first read.
    Statement probe(db.get(), QStringLiteral("select count(*) from sqlite_master"));
    probe.step();
    return db;
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
    d->db = DatabaseWork(Name, [&] { return openKeyed(DataSource(), password, readOnly); });
}

void TADOConnection::Close()
{
    d->db.reset();
}

void TADOConnection::Execute(const QString& sql)
{
    sqlite3* db = Handle();
    DatabaseWork(Name, [&] { ExecuteAll(db, sql); });
}

sqlite3* TADOConnection::Handle()
{
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
