#pragma once
// The four database helpers. Each catches every error itself and answers true for success.

#include <QString>
#include <QStringList>

class TADOConnection;
class TADOQuery;

bool OpenJetDatabase(TADOConnection& connection, const QString& fileName, const QString& password);
// The statements run in the new file before it gets its name, so that nobody
// ever opens the book without its tables.
bool CreateJetDatabase(const QString& fileName, const QString& password, const QStringList& tables = {});
bool RunSqlScript(TADOQuery& query, const QStringList& lines);
bool OpenTable(TADOQuery& query, const QString& tableName);
