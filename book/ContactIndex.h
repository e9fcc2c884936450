#pragma once
// Every contact's seven texts (and the values kept beside it) held in memory
// in the window's order by 姓名, so a search can run again at every key typed
// without reading the book: the same search as the find command
// (ContactSearch), with the texts lowered, their numbers joined and the names
// read into pinyin once, when the book is read.

#include "exchange/ContactDraft.h"
#include "exchange/pinyin/NameReading.h"

#include <QByteArray>
#include <QString>
#include <vector>

class ContactIndex {
public:
    ContactIndex() = default;
    // Reads the existing book at path once, texts only. Raises EDatabaseError.
    explicit ContactIndex(const QString& path);
    ContactIndex(ContactIndex&&) = default;
    ContactIndex& operator=(ContactIndex&&) = default;

    int size() const { return int(rowids_.size()); }
    qint64 rowid(int contact) const { return rowids_[size_t(contact)]; }
    QString text(int contact, ContactText column) const;

    // The contacts the typed text finds, in name order; every contact for an empty text.
    std::vector<int> find(const QString& typed) const;

private:
    // Every contact's seven texts as UTF-8, each ended by a zero byte (which no
    // typed text holds, so a match never runs from one text into the next);
    // the same bytes with the ASCII letters lowered, to search in.
    QByteArray texts_;
    QByteArray lowered_;
    std::vector<int> starts_;  // where each contact's texts begin, and the end
    // The same texts with the digits of each number joined (JoinedDigits), for a number typed.
    QByteArray joined_;
    std::vector<int> joinedStarts_;
    std::vector<qint64> rowids_;
    std::vector<QString> names_;                  // the pieces look into these
    std::vector<std::vector<NamePiece>> pieces_;  // each name read for its pinyin
};
