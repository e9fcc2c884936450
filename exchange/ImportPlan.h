#pragma once
// What an import will do, decided before anything is written: every card of
// every file fitted to the columns, cards that bring nothing new to a record
// of the book or to an earlier card set aside (ContactIdentity.h), cards with
// nothing to name a record by left out, and the report that says so card by card.

#include "exchange/ContactFitting.h"
#include "exchange/ContactIdentity.h"
#include "exchange/DraftSpool.h"
#include "exchange/FittedContacts.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class DraftQueue;
class SpoolFile;

struct ImportSource {
    QString name;  // the file as the report names it
    DraftSet cards;
    // When set, the drafts are held there rather than in cards.drafts, and the
    // planned photos kept as they were read stay there until they are written.
    std::shared_ptr<const DraftSpool> spooled = {};
};

// What becomes of one card or row of an import, as planned.
enum class CardFate {
    Add,              // goes in
    InBook,           // the book already has a record with its name and phone
    EarlierInImport,  // an earlier card of this import has its name and phone
    Unreadable,       // could not be read at all
};

// One card or row as planned; its contact as it would be stored is the
// plan's contacts at the same place.
struct PlannedCard {
    CardFate fate = CardFate::Add;
    bool cut = false;      // its contact has a field cut or left out
    bool noted = false;    // its contact has notes for the report
    int line = 0;          // where it starts in its file
    QString file;          // the file as the report names it
    QString why;           // why it is not added (duplicate, or what could not be read)
    QStringList intoNote;  // the labels of the fields without a column that 备注 holds: "邮箱", …
};

struct ImportPlan {
    QList<PlannedCard> cards;  // every card and row that could not be read, in file order, then line order
    FittedContacts contacts;   // each card's contact as it would be stored (empty when unreadable), as cards
    FittedContacts toAdd;      // in file order, then card order
    QStringList report;        // one line per card with something to say
    int skipped = 0;           // cards already there, without a name, or that could not be read
    int cut = 0;               // cards to add with a field cut or left out

    int added() const { return int(toAdd.size()); }
};

// One card or failure of a source: a draft in memory, a draft in the source's
// spool (its place there), or a failure.
struct ImportEntry {
    int line;
    const ContactDraft* draft;
    int spooled;  // -1 when the draft is not spooled
    const DraftFailure* failure;
};

// The source's entries in the order an import plans them: by line, drafts
// before the failures of their line.
std::vector<ImportEntry> EntriesInLineOrder(const ImportSource& source);

// existing: the book's records in table order, as the report numbers them from 1;
// let go as the plan indexes them, so that a large book is not held twice.
ImportPlan PlanImport(const QList<ImportSource>& sources, const ColumnWidths& widths, QList<ContactHoldings> existing);

// The same plan made while another thread reads the files into the queue
// (fileNames: as the report names them, by the queue's file numbers): each
// card is planned as it comes, its contact kept in the spool file and, when
// it is to be added, handed to whenAdded at once. The plan keeps no photo's
// bytes (FittedPhoto::LetGo): it is a dry run's, or its records were written
// as it was made. Empty when the cards do not
// come in the order PlanImport plans them (each file's by their lines): the
// caller plans the files with PlanImport after all.
std::optional<ImportPlan> PlanImportAsRead(DraftQueue& queue, const QStringList& fileNames,
                                           const std::shared_ptr<SpoolFile>& spool, const ColumnWidths& widths,
                                           QList<ContactHoldings> existing,
                                           const std::function<void(const FittedContact&)>& whenAdded = {});

// The plan with the cards a person chose (one flag per card of plan.cards):
// a chosen card is added even when it is a duplicate, one left out is skipped
// and the report says so. A card that could not be read is never added.
ImportPlan ChooseCards(const ImportPlan& plan, const QList<bool>& chosen);

// The last line of every import's report.
QString ImportSummary(const ImportPlan& plan, bool written);
