#pragma once
// What an import will do, decided before anything is written: every card of
// every file fitted to the columns, duplicates of the book's records and of
// earlier cards set aside, and the report that says so card by card.

#include "exchange/ContactFitting.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// A record already in the book, as far as duplicates are concerned.
struct ContactKey {
    QString name;   // trimmed
    QString phone;  // trimmed
};

// Whether a contact is already there: trimmed name and phone equal. A card
// with neither is compared by all its texts, so two different cards holding
// only other fields are both kept.
class DuplicateIndex {
public:
    explicit DuplicateIndex(const QList<ContactKey>& existing = {});
    bool contains(const FittedContact& contact) const;
    void add(const FittedContact& contact);

private:
    static QString keyOf(const FittedContact& contact);
    QSet<QString> keys_;
};

struct ImportSource {
    QString name;  // the file as the report names it
    DraftSet cards;
};

struct ImportPlan {
    QList<FittedContact> toAdd;  // in file order, then card order
    QStringList report;          // one line per card with something to say
    int skipped = 0;             // duplicates and cards that could not be read
    int cut = 0;                 // cards to add with a field cut or left out

    int added() const { return int(toAdd.size()); }
};

ImportPlan PlanImport(const QList<ImportSource>& sources, const ColumnWidths& widths,
                      const QList<ContactKey>& existing);

// The last line of every import's report.
QString ImportSummary(const ImportPlan& plan, bool written);
