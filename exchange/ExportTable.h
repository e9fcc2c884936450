#pragma once
// The book's contacts as the spreadsheet exports write them: the seven
// columns with their whole texts, 备注 holding only the note itself, then one
// column for each label an import wrote into 备注 or kept beside a record
// (邮箱, 手机, 单位, ...), headed with the label as the spreadsheet import reads
// it; a label a record has twice gets two columns of that name. So a round
// trip through a spreadsheet loses nothing either.

#include "exchange/ContactDraft.h"

#include <QList>
#include <QStringList>

struct ExportTable {
    QStringList header;
    QList<QStringList> rows;  // as many cells as the header, in contact order
};

ExportTable ExportTableOf(const QList<StoredContact>& contacts);
