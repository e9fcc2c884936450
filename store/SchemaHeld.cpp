#include "SchemaHeld.h"

#include "store/SqliteHandle.h"

#include <QSet>

bool HoldsAsMade(sqlite3* db, const QStringList& statements)
{
    Statement made(db, QStringLiteral("select sql from sqlite_master where sql is not null"));
    QSet<QString> held;
    while (made.step())
        held.insert(made.columnText(0).toLower());
    for (const QString& statement : statements)
        if (!held.contains(statement.toLower()))
            return false;
    return true;
}
