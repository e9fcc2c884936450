#pragma once
// The book's check: SQLite's integrity check and the number of contacts, for
// the check command and the tools window.

#include <QString>
#include <QStringList>

struct BookCheck {
    bool sound = false;
    QStringList lines;  // what the report says: the problems, or the result and the count
};

struct BookRun;

// Raises EDatabaseError when the book cannot be opened far enough to check it.
// With a run, only after its login password opened the book (see BookFile).
BookCheck CheckBook(const QString& path, BookRun* gate = nullptr);

// The file as the tools window describes it: its size and who may read it.
QStringList BookFileFacts(const QString& path);
