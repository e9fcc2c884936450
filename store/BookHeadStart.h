#pragma once
// A head start on opening the book. Deriving the key and counting the records
// (the count the book keeps, store/KeptCount, or a count of every record when
// it keeps none) are most of the processor time before the login window, and
// nothing needs them until the main window is created: a thread of its own
// does them meanwhile, exactly as opening the connection and the contact query
// would do them first, and the opening takes that connection and count over.
//
// It is only a head start. It reads an existing book and nothing else: it
// never creates, writes or locks a file for writing (a book with a journal
// beside it, which a reader might have to roll back, is left alone). When the
// file is missing, anything failed, the opening asks for another file,
// password or table, or the book changed since, the opening discards it and
// does all the work itself, exactly as it would have without it.
//
// The handle passes from the thread to the opening once the thread has ended
// (the join orders the two): SQLite allows a connection to move between
// threads as long as no two use it at once.

#include <QString>
#include <memory>
#include <thread>

class TADOConnection;
class TADOQuery;

class BookHeadStart {
public:
    // Starts opening fileName with the password and counting the table's
    // records, unless the file is no regular file. The latest head start alive
    // is the process's running one.
    BookHeadStart(QString fileName, QString password, QString table);
    // Waits for the thread and closes what was not taken over.
    ~BookHeadStart();
    BookHeadStart(const BookHeadStart&) = delete;
    BookHeadStart& operator=(const BookHeadStart&) = delete;

    // Waits for the thread, then opens the connection on the book and the query
    // on the table with what it did, as OpenJetDatabase and OpenTable would:
    // true when it was for this file, password and table, succeeded, and the
    // book has not changed since. Otherwise closes the handle, leaves the
    // connection and the query closed and answers false. Once only: a second
    // call answers false.
    bool TakeOver(TADOConnection& connection, TADOQuery& query, const QString& fileName, const QString& password,
                  const QString& table);

    // The process's running head start; null when there is none.
    static BookHeadStart* Running();

private:
    struct Work;
    std::unique_ptr<Work> work_;
    std::thread thread_;
    BookHeadStart* previous_;
};

// TakeOver of the running head start; false when there is none.
bool OpenFromHeadStart(TADOConnection& connection, TADOQuery& query, const QString& fileName, const QString& password,
                       const QString& table);
