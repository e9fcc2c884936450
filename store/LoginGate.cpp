#include "LoginGate.h"

#include "store/ADODB.h"
#include "store/ContactSchema.h"
#include "store/SqliteHandle.h"

namespace {

bool hasPasswordTable(TADOConnection& connection)
{
    try {
        Statement probe(connection.Handle(), QStringLiteral("select 1 from sqlite_master where type = 'table' and "
                                                            "name = ?1 collate nocase"));
        probe.bindText(1, ContactSchema::PasswordTable());
        return probe.step();
    } catch (const SqliteFailure&) {
        return true;  // unknown: treated as a pass that cannot be read
    }
}

}  // namespace

std::optional<QByteArray> StoredLoginPassword(TADOConnection& connection)
{
    if (!hasPasswordTable(connection))
        return FactoryPassword;
    TADOQuery pass(QStringLiteral("ADOQuery_mm"));
    pass.Connection = &connection;
    try {
        pass.SQL.append(QStringLiteral("select * from ") + ContactSchema::PasswordTable());
        pass.Open();
        if (pass.RecordCount() == 0)
            return FactoryPassword;
        return PasswordFromStoredText(pass.FieldByName(QStringLiteral("mm"))->AsString());
    } catch (const Exception&) {
        return std::nullopt;
    }
}

void AddFactoryLoginRow(TADOConnection& connection)
{
    TADOQuery pass(QStringLiteral("ADOQuery_mm"));
    pass.Connection = &connection;
    pass.SQL.append(ContactSchema::CreatePasswordTable());
    pass.ExecSQL();
    pass.SQL.clear();
    pass.SQL.append(QStringLiteral("select * from ") + ContactSchema::PasswordTable());
    pass.Open();
    pass.AppendRecord({StoredPasswordText(FactoryPassword)});
}
