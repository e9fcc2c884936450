#include "GroupChoice.h"

GroupChoice::GroupChoice(ListedGroup group) : group_(std::move(group)), choice_(FilledMergeChoice(group_.records)) {}

int GroupChoice::picked(int row) const
{
    return row == PhotoRow ? choice_.photo : choice_.texts[size_t(row)];
}

bool GroupChoice::differs(int row) const
{
    const auto value = [&](const StoredContact& record) {
        return row == PhotoRow ? record.photo : record.texts[size_t(row)].toUtf8();
    };
    return std::any_of(group_.records.begin(), group_.records.end(),
                       [&](const StoredContact& record) { return value(record) != value(group_.records.first()); });
}

bool GroupChoice::canPick(int row, int record) const
{
    return record >= 0 && record < size() && differs(row)
           && (row != PhotoRow || !group_.records[record].photo.isEmpty());
}

void GroupChoice::pick(int row, int record)
{
    if (!canPick(row, record))
        return;
    if (row == PhotoRow)
        choice_.photo = record;
    else
        choice_.texts[size_t(row)] = record;
}

void GroupChoice::split(int record)
{
    if (record < 0 || record >= size())
        return;
    group_.records.removeAt(record);
    group_.numbers.removeAt(record);
    const auto after = [&](int place) { return place > record ? place - 1 : place; };
    const MergeChoice filled = FilledMergeChoice(group_.records);
    for (int i = 0; i < ContactTextCount; ++i)
        choice_.texts[i] = choice_.texts[i] == record ? filled.texts[i] : after(choice_.texts[i]);
    if (choice_.photo == record)
        choice_.photo = DefaultMergeChoice(group_.records).photo;
    else
        choice_.photo = after(choice_.photo);
}
