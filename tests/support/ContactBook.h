#pragma once
// A contact book in a temporary folder, made as the program makes it on its
// first start, with the contact query open on the whole contact table; a
// second copy of the program on the same file; the check of an expected error.

#include "store/ADODB.h"
#include "tests/support/TestFolder.h"

#include <QStringList>
#include <QTest>

class ContactBook {
public:
    ContactBook();  // raises std::runtime_error when the book cannot be made

    TestFolder folder;
    TADOConnection connection;
    TADOQuery query;

    // Opens the contact query on the table again, as the program does at start.
    void reopen();
    // Appends records with these names, other columns null; the last is current.
    void addNames(const QStringList& names);
    // Stores count records named name in one statement (appending stores each at
    // once), then reopens the query.
    void fill(int count, const QString& name);

    // The current record's name, trimmed of its column's padding.
    QString name();
    // The names of the view, in its order, trimmed.
    QStringList viewNames();
};

// A second copy of the program on the same file, through a connection of its own.
class SecondCopy {
public:
    explicit SecondCopy(const QString& path);  // raises std::runtime_error when the file does not open

    TADOConnection connection{QStringLiteral("ADOConnection2")};
    TADOQuery query{QStringLiteral("ADOQuery2")};

    void execute(const QString& sql) { connection.Execute(sql); }
    // The first column of every row of a select, as text; "<null>" for a null.
    QStringList column(const QString& select);
    // The column names of a table in table order; raises EDatabaseError when there is no such table.
    QStringList fieldNames(const QString& table);
};

// Each text trimmed, as the program trims what it reads from fixed-width columns.
QStringList Trimmed(const QStringList& texts);

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
