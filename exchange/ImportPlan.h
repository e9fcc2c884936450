#pragma once
// What an import will do, decided before anything is written: every card of
// every file fitted to the columns, cards that bring nothing new to a record
// of the book or to an earlier card set aside (ContactIdentity.h), cards with
// nothing to name a record by left out, and the report that says so card by card.

#include "exchange/ContactFitting.h"
#include "exchange/ContactIdentity.h"

#include <QList>
#include <QString>
#include <QStringList>

struct ImportSource {
    QString name;  // the file as the report names it
    DraftSet cards;
};

struct ImportPlan {
    QList<FittedContact> toAdd;  // in file order, then card order
    QStringList report;          // one line per card with something to say
    int skipped = 0;             // cards already there, without a name, or that could not be read
    int cut = 0;                 // cards to add with a field cut or left out

    int added() const { return int(toAdd.size()); }
};

// existing: the book's records in table order, as the report numbers them from 1.
ImportPlan PlanImport(const QList<ImportSource>& sources, const ColumnWidths& widths,
                      const QList<ContactHoldings>& existing);

// The last line of every import's report.
QString ImportSummary(const ImportPlan& plan, bool written);
