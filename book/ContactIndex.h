#pragma once
// Every contact's seven texts held in memory in the window's order by 姓名, so
// a search can run again at every key typed without reading the book: the
// same text and pinyin search as the find command.

#include "exchange/ContactDraft.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

class ContactIndex {
public:
    ContactIndex() = default;
    // Reads the existing book at path once, texts only. Raises EDatabaseError.
    explicit ContactIndex(const QString& path);

    int size() const { return int(entries_.size()); }
    qint64 rowid(int contact) const { return entries_[size_t(contact)].rowid; }
    QString text(int contact, ContactText column) const;

    // The contacts the typed text finds, in name order; every contact for an empty text.
    std::vector<int> find(const QString& typed) const;

private:
    struct Entry {
        QByteArray utf8;                                 // the seven texts one after another
        std::array<int, ContactTextCount + 1> starts{};  // where each begins, and the end
        qint64 rowid = 0;
    };
    std::vector<Entry> entries_;
};
