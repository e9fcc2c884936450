#pragma once
// Which records are probably one person, found by keys (never by comparing
// every pair): records sharing a key fall into one group. The keys are a
// phone number by its digits (in 电话, or under a phone label in 备注 or among
// the values kept aside), an e-mail address, a QQ number, and the name as
// compared (ComparedName) together with one more value (生日, QQ, 地址 or a
// phone). A name alone is never a key: two 张伟 are two people.

#include "exchange/ContactDraft.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

// The name as two spellings of it compare: blanks dropped, full-width letters
// and digits as half-width, letters in lower case, traditional characters as simplified.
QString ComparedName(const QString& name);
// The same appended to out, which a caller comparing many names reuses.
void AppendComparedName(QStringView name, QString& out);

struct DuplicateGroup {
    QStringList reasons;  // 电话, 邮箱, QQ, 姓名+生日, ...: what the records share, in that order
    QList<int> members;   // places in the list given, in that order
};

// The groups among records given one at a time, so a book's records need
// not all be in memory at once: only their keys are kept.
class DuplicateFinder {
public:
    DuplicateFinder();
    ~DuplicateFinder();
    // About how many records will be given, when known ahead: room is made for
    // their keys at once rather than step by step as they come.
    void expect(qint64 records);
    // The next record (its place: the number of records given before it).
    void add(const std::array<QString, ContactTextCount>& texts, const QList<DraftExtra>& kept);
    // The groups among the records given, ordered by their first member.
    QList<DuplicateGroup> groups();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The groups among the records, ordered by their first member.
QList<DuplicateGroup> FindDuplicates(const QList<StoredContact>& records);
