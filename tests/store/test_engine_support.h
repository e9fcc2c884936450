#pragma once
// A contact database in a temporary folder, as the start-up makes it, for the engine tests.

#include "ADODB.h"
#include "DbHelpers.h"
#include "TestFolder.h"

#include <QTest>

inline const QString contactTable =
    QStringLiteral("create table rem(类别 char(10),姓名 char(10),生日 char(15),电话 char(15),QQ char(15),"
                   "地址 char(30),备注 char(100),jpg image )");
inline const QString databasePassword = QStringLiteral("tavmeri");

struct ContactDatabase {
    TestFolder folder;
    TADOConnection connection;
    TADOQuery query;

    ContactDatabase()
    {
        const QString path = folder.databasePath();
        query.Connection = &connection;
        if (!CreateJetDatabase(path, databasePassword) || !OpenJetDatabase(connection, path, databasePassword)
            || !RunSqlScript(query, {contactTable}))
            throw std::runtime_error("cannot make the contact database");
        reopen();
    }

    void reopen()
    {
        if (!OpenTable(query, QStringLiteral("rem")))
            throw std::runtime_error("cannot open rem");
    }

    // Adds records with the given names (other columns null).
    void addNames(const QStringList& names)
    {
        for (const QString& name : names)
            query.AppendRecord({QString(), name});
    }

    QString name() { return query.FieldByName(QStringLiteral("姓名"))->AsString().trimmed(); }

    QStringList viewNames()
    {
        QStringList names;
        for (int row = 0; row < query.RecordCount(); ++row)
            names << query.DisplayText(row, 1).trimmed();
        return names;
    }
};

// A second copy of the program on the same file.
struct SecondCopy {
    TADOConnection connection{QStringLiteral("ADOConnection2")};
    TADOQuery query{QStringLiteral("ADOQuery2")};

    explicit SecondCopy(const QString& path)
    {
        if (!OpenJetDatabase(connection, path, databasePassword))
            throw std::runtime_error("second copy cannot open");
        query.Connection = &connection;
    }

    void execute(const QString& sql) { connection.Execute(sql); }

    // The first column of every row of a select, as text.
    QStringList column(const QString& select)
    {
        query.Close();
        query.SQL = QStringList{select};
        query.Open();
        QStringList values;
        for (query.First(); !query.Eof(); query.Next())
            values << (query.Fields(0)->IsNull() ? QStringLiteral("<null>") : query.Fields(0)->AsString());
        query.Close();
        return values;
    }
};

// Runs an action that must fail with exactly this message.
template <typename Action>
void expectDatabaseError(Action action, const QString& message)
{
    try {
        action();
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message, message);
        return;
    }
    QFAIL(qPrintable(QStringLiteral("no error, expected: ") + message));
}
