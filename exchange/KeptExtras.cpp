#include "KeptExtras.h"

QHash<qint64, QList<DraftExtra>> KeptByRecord(const QList<KeptValue>& rows)
{
    QHash<qint64, QList<DraftExtra>> kept;
    for (const KeptValue& row : rows)
        kept[row.rec].append({row.label, row.value});
    return kept;
}

QList<KeptValue> KeptRows(qint64 rec, const QList<DraftExtra>& values)
{
    QList<KeptValue> rows;
    rows.reserve(values.size());
    for (const DraftExtra& value : values)
        rows.append({rec, value.label, value.value});
    return rows;
}
