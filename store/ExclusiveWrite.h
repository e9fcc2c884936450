#pragma once
// A look at the book and the write that depends on it ("create the table if it
// is missing, store the first row if it is empty") as one exclusive write
// transaction: a second copy doing the same waits for this one and then finds
// its work, instead of failing on it or doing it twice. Where the lock cannot
// be had (a closed connection, a read-only book, a copy holding the book past
// the busy timeout) it holds nothing and the work runs as it would without it.
// Undone unless committed.

class TADOConnection;

class ExclusiveWrite {
public:
    explicit ExclusiveWrite(TADOConnection* connection);
    ~ExclusiveWrite();
    ExclusiveWrite(const ExclusiveWrite&) = delete;
    ExclusiveWrite& operator=(const ExclusiveWrite&) = delete;

    // Keeps what was written; raises the connection's error when that fails.
    void Commit();

private:
    TADOConnection* held_ = nullptr;  // null when nothing is held
};
