#pragma once
// Writing an import into the book: all contacts, and the values kept beside
// them (store/KeptValues.h), in one transaction, so a failure on any of them leaves
// the book exactly as it was.

#include "book/BookFile.h"
#include "exchange/FittedContacts.h"

#include <exception>
#include <functional>
#include <memory>

// A write the person stopped: everything it had written is undone.
class ImportCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "import cancelled"; }
};

// Contacts appended at the end of the table one by one, as they come, in one
// transaction begun with the first: appending nobody leaves the book
// untouched. What is not committed is undone when the appending ends.
class ContactAppending {
public:
    explicit ContactAppending(TADOConnection& connection);
    ~ContactAppending();
    ContactAppending(const ContactAppending&) = delete;
    ContactAppending& operator=(const ContactAppending&) = delete;

    // The contact and the values kept beside it. Raises EDatabaseError.
    void add(const FittedContact& contact);
    // Everything added stays. Raises EDatabaseError, and then nothing stays.
    void commit();

private:
    struct Open;
    TADOConnection& connection_;
    std::unique_ptr<Open> open_;  // the statements, from the first contact on
    bool began_ = false;          // the transaction, from the first contact until the commit
};

// Records added one at a time, with the values kept beside them, inside a
// transaction the caller holds; each answers the new record's rowid.
class RecordAdding {
public:
    explicit RecordAdding(TADOConnection& connection);
    ~RecordAdding();
    RecordAdding(const RecordAdding&) = delete;
    RecordAdding& operator=(const RecordAdding&) = delete;
    // Raises EDatabaseError.
    qint64 add(const FittedContact& contact);

private:
    TADOConnection& connection_;
    struct Open;
    std::unique_ptr<Open> open_;
};

// Appends the contacts at the end of the table, in order, through the open
// connection. Raises EDatabaseError after undoing every one of them. progress,
// when given, is told after each contact; when it answers false the write
// raises ImportCancelled, undone too.
void AddContacts(TADOConnection& connection, const FittedContacts& contacts,
                 const std::function<bool(int written, int total)>& progress = {});

// A book the command created: removed again unless the command kept it.
class NewBookGuard {
public:
    explicit NewBookGuard(QString path) : path_(std::move(path)) {}
    ~NewBookGuard();
    NewBookGuard(const NewBookGuard&) = delete;
    NewBookGuard& operator=(const NewBookGuard&) = delete;
    void keep() { path_.clear(); }

private:
    QString path_;
};
