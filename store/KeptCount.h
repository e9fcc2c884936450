#pragma once
// The number of contacts kept in the book beside rem (ContactSchema's count
// table and its triggers), so that opening the book shows 总人数 without
// reading, and decrypting, every page of rem. The kept number is only trusted
// when the table and both triggers are exactly the ones made here; otherwise
// the records are counted, as before there was a kept number.

#include <QtGlobal>
#include <optional>

class QString;

struct sqlite3;

// The kept number of contacts; none when the book keeps none as made here
// (an older book, one whose keeping another program changed). Raises
// SqliteFailure when the book cannot be read or is shorter than its header
// says; damage inside the records' pages shows only when they are read.
std::optional<qint64> KeptContactCount(sqlite3* db);

// The records of the table for an opening: for the contact table the kept
// number when there is one, else a count of the records.
qint64 CountForOpening(sqlite3* db, const QString& table);

// Checks the kept number against every contact read after a login: made when
// the book is opened (it takes the book's data version), told the count once
// every contact was read. Any write of another copy in between leaves it undone.
class ContactCountCheck {
public:
    explicit ContactCountCheck(sqlite3* db) noexcept;

    // Makes the kept number counted when it is missing or differs: the table
    // and triggers anew, in one transaction. Never waits for another copy
    // holding the book, and changes nothing when another copy changed the book
    // since the check was made: a later login does it then. Raises nothing. True when the book
    // kept another number that still stood (what the opening showed was wrong).
    bool Keep(qint64 counted);

private:
    sqlite3* db_;
    std::optional<qint64> version_;
};
