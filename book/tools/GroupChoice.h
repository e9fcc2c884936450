#pragma once
// One group of the 重复 page as the person works on it: its records side by
// side, for each column whose value stays and which photo, and the records
// split off (they stay in the book as they are). What 合并 would write comes
// from the same merge as the merge command.

#include "book/DuplicateBook.h"

class GroupChoice {
public:
    // The rows compared: the seven columns, then the photo.
    static constexpr int PhotoRow = ContactTextCount;
    static constexpr int RowCount = ContactTextCount + 1;

    explicit GroupChoice(ListedGroup group);

    const ListedGroup& group() const { return group_; }
    const MergeChoice& choice() const { return choice_; }
    int size() const { return int(group_.records.size()); }
    // The record whose value stays in that row (-1: no photo).
    int picked(int row) const;
    // Whether the row's values are not all the same.
    bool differs(int row) const;
    // A record can give the row's value where the values differ: any for a column, one with a photo for the photo.
    bool canPick(int row, int record) const;

    void pick(int row, int record);
    // Takes the record out of the group; what was picked from it goes back to where picking starts.
    void split(int record);

    MergedContact merged(int noteWidth) const { return MergeContacts(group_.records, choice_, noteWidth); }

private:
    ListedGroup group_;
    MergeChoice choice_;
};
