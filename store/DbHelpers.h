#pragma once
// The four database helpers. Each catches every error itself and answers true for success.

#include <QString>
#include <QStringList>

class TADOConnection;
class TADOQuery;

bool OpenJetDatabase(TADOConnection& connection, const QString& fileName, const QString& password);
bool CreateJetDatabase(const QString& fileName, const QString& password);
bool RunSqlScript(TADOQuery& query, const QStringList& lines);
bool OpenTable(TADOQuery& query, const QString& tableName);
