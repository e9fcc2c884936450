#pragma once
// Duplicates in the book itself: the groups found and remembered as listed,
// and one group made one record, after a backup, in one transaction, only
// while each of its records is still as it was listed. The duplicates and
// merge commands and the tools window's 重复 page go through these.

#include "book/BookFile.h"
#include "book/ContactMerge.h"

#include <QList>
#include <QStringList>
#include <optional>

struct ListedGroup {
    QStringList reasons;           // 电话, 邮箱, ...: what its records share
    QList<qint64> numbers;         // the records' numbers (rowids), in table order
    QList<StoredContact> records;  // as they were listed, photos and kept values included
};

// Every group in the book open on the connection, in the order of its first
// record; the listing replaces the last one. Raises EDatabaseError.
QList<ListedGroup> ListDuplicates(TADOConnection& connection);

struct MergeOutcome {
    QString backup;     // the copy of the book taken first: restoring it undoes the merge
    QString name;       // the kept record's 姓名 after the merge
    int keptAside = 0;  // values 备注 had no room for, kept beside the record
};

// How a refused merge names the listing and tells how to list the groups
// again: the command line names its command, the tools window its button.
struct ListingWords {
    QString lister;  // what listed them, set off by blanks when a Latin word: " duplicates ", or none
    QString again;   // what lists them again: "请重新运行 duplicates"
};
const ListingWords& CommandListing();

// Merges the records (numbers, the kept one first) as the choice says (by
// default the first record's values and photo, see ContactMerge.h), after
// backing up the book at path. A record gone, never listed or changed since
// raises Exception (in the words given), and so does any failure: the book
// is then as it was. Refused while another program holds the book (HeldBook.h).
MergeOutcome MergeListed(BookFile& book, const QString& path, const QList<qint64>& numbers,
                         const std::optional<MergeChoice>& choice = std::nullopt,
                         const ListingWords& words = CommandListing());
