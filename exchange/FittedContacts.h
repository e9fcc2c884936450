#pragma once
// Fitted contacts in order, each held packed in an import's spool file rather
// than in memory: a plan of many cards keeps only where each one lies, and a
// contact is read back whole when it is shown, reported or written.

#include "exchange/ContactFitting.h"

#include <iterator>
#include <memory>
#include <vector>

class SpoolFile;

class FittedContacts {
public:
    FittedContacts() = default;  // empty; append needs a file
    explicit FittedContacts(std::shared_ptr<SpoolFile> file);

    // The contact goes into the file, its photo's bytes too when they are not
    // there yet. Raises ExchangeError.
    void append(FittedContact contact);

    qsizetype size() const { return qsizetype(held_.size()); }
    bool isEmpty() const { return held_.empty(); }
    // The contact as appended. Raise ExchangeError.
    FittedContact at(qsizetype index) const;
    FittedContact operator[](qsizetype index) const { return at(index); }
    FittedContact first() const { return at(0); }
    // Whether any of them has values kept beside its record.
    bool anyKept() const;
    // Those at the places given, in that order, in the same file.
    FittedContacts only(const std::vector<qsizetype>& places) const;

    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = FittedContact;
        using difference_type = qsizetype;
        using pointer = void;
        using reference = FittedContact;

        const_iterator(const FittedContacts* contacts, qsizetype index) : contacts_(contacts), index_(index) {}
        FittedContact operator*() const { return contacts_->at(index_); }
        const_iterator& operator++()
        {
            ++index_;
            return *this;
        }
        bool operator==(const const_iterator& other) const { return index_ == other.index_; }

    private:
        const FittedContacts* contacts_;
        qsizetype index_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    struct Held {
        qint64 offset;
        qint32 size;
        bool kept;
    };
    std::shared_ptr<SpoolFile> file_;
    std::vector<Held> held_;
};
