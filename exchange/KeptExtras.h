#pragma once
// The values an import keeps beside a record, between the labelled values the
// formats and the fitting speak of (DraftExtra) and the rows of the book's
// table kept (store/KeptValues): the one place either turns into the other.

#include "exchange/ContactDraft.h"
#include "store/KeptValues.h"

#include <QHash>
#include <QList>

// The rows by record, each record's values in the order of the rows.
QHash<qint64, QList<DraftExtra>> KeptByRecord(const QList<KeptValue>& rows);
// One record's values as rows of the table.
QList<KeptValue> KeptRows(qint64 rec, const QList<DraftExtra>& values);
