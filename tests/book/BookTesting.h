#pragma once
// A book in a temporary folder and a way to run tessaly-book on it in-process.

#include "book/BookFile.h"
#include "book/BookRun.h"
#include "book/Console.h"
#include "tests/support/TestFolder.h"

#include <QDir>
#include <QFile>
#include <QVariant>

struct BookResult {
    int status = -1;
    QStringList out;
    QStringList err;
};

// A file holding the factory login password, as scripts give it to the program.
inline QString factoryPasswordFile()
{
    static const TestFolder folder;
    static const QString file = [] {
        const QString name = folder.file(QStringLiteral("password"));
        TestFolder::writeAll(name, "480917\n");
        return name;
    }();
    return file;
}

// tessaly-book <arguments> exactly as given: no password unless they hold one.
inline BookResult runBookAsGiven(const QStringList& arguments, CapturingConsole& console)
{
    BookResult result;
    result.status = RunBook(arguments, console);
    result.out = console.outLines;
    result.err = console.errLines;
    return result;
}

// tessaly-book --password-file <the factory password> <arguments>
inline BookResult runBook(const QStringList& arguments, bool terminal = false)
{
    CapturingConsole console(nullptr, terminal);
    return runBookAsGiven(QStringList{QStringLiteral("--password-file"), factoryPasswordFile()} + arguments, console);
}

struct TestBook {
    TestFolder folder;
    QString path = folder.databasePath();

    TestBook() { CreateBook(path); }

    // Records from texts in column order (photo last, as a QByteArray).
    void add(const QList<QList<QVariant>>& records)
    {
        BookFile book(path);
        book.connection.BeginTrans();
        for (const QList<QVariant>& record : records)
            book.query.AppendRecord(record);
        book.connection.CommitTrans();
    }
    int count() const { return BookFile(path).query.RecordCount(); }
    QList<ContactTexts> texts() const { return BookFile(path).texts(); }
    QByteArray bytes() const { return TestFolder::readAll(path); }
    // tessaly-book --db <book> <arguments>
    BookResult run(const QStringList& arguments, bool terminal = false) const
    {
        return runBook(QStringList{QStringLiteral("--db"), path} + arguments, terminal);
    }
    // The folder's file names, hidden ones included: what a command left behind.
    QStringList files() const
    {
        return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
};
