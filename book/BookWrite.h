#pragma once
// Writing an import into the book: all contacts, and the values kept beside
// them (KeptValues.h), in one transaction, so a failure on any of them leaves
// the book exactly as it was.

#include "book/BookFile.h"
#include "exchange/FittedContacts.h"

#include <exception>
#include <functional>

// A write the person stopped: everything it had written is undone.
class ImportCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "import cancelled"; }
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
