// TADOConnection: one SQLCipher file, opened with its key. The key is proven by
// a first read before the connection calls itself connected; a failed open
// leaves the connection closed and the file exactly as it was.

#include "ADODB.h"

#include "store/ConnectionText.h"
#include "store/SqliteHandle.h"

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
    d->db = std::move(db);
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
