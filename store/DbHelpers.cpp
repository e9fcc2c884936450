// The four database helpers: each catches every error and answers with a Boolean.

#include "DbHelpers.h"

#include "platform/TextRules.h"
#include "platform/Trim.h"
#include "store/ADODB.h"
#include "store/AdoxCatalog.h"

bool OpenJetDatabase(TADOConnection& connection, const QString& fileName, const QString& password)
{
    connection.LoginPrompt = false;
    try {
        connection.ConnectionString =
            QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Persist Security Info = False;Mode = ReadWrite;"
                           "Data Source=%1;Jet OLEDB:Database Password=%2")
                .arg(fileName, password);
        connection.SetConnected(true);
        return connection.Connected();
    } catch (...) {
        return false;
    }
}

bool CreateJetDatabase(const QString& fileName, const QString& password, const QStringList& tables)
{
    try {
        std::unique_ptr<OleAutomationObject> catalog = CreateOleObject(QStringLiteral("ADOX.Catalog"));
        QVariantList args{QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + fileName
                          + QStringLiteral(";Jet OLEDB:Database Password=") + password};
        if (!tables.isEmpty())
            args.append(QVariant(tables));
        catalog->Invoke(QStringLiteral("Create"), args);
        return true;
    } catch (...) {
        return false;
    }
}

// Executes the statement collected so far, if any, and starts a new one.
static void flushStatement(TADOQuery& query)
{
    if (query.SQL.isEmpty())
        return;
    query.ExecSQL();
    query.SQL.clear();
}

bool RunSqlScript(TADOQuery& query, const QStringList& lines)
{
    try {
        query.Close();
        query.SQL.clear();
        for (const QString& line : lines) {
            const QString trimmed = TrimControl(line);
            if (trimmed.isEmpty())
                continue;
            if (LowerAscii(trimmed).startsWith(QLatin1String("create")))
                flushStatement(query);
            query.SQL.append(trimmed);
        }
        flushStatement(query);
        return true;
    } catch (...) {
        return false;
    }
}

bool OpenTable(TADOQuery& query, const QString& tableName)
{
    try {
        query.Close();
        query.SQL.clear();
        query.SQL.append(QStringLiteral("select * from ") + tableName);
        query.Open();
    } catch (...) {
    }
    return query.Active();
}
