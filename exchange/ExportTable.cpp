#include "ExportTable.h"

#include "exchange/ContactValues.h"
#include "store/ContactSchema.h"

#include <QHash>

ExportTable ExportTableOf(const QList<StoredContact>& contacts)
{
    ExportTable table;
    table.header = ContactTextColumns();
    QList<ContactValues> lifted;
    lifted.reserve(contacts.size());
    QStringList labels;        // in the order first met
    QHash<QString, int> most;  // the most values a record has under a label
    for (const StoredContact& contact : contacts) {
        lifted.append(LiftValues(contact));
        QHash<QString, int> counted;
        for (const DraftExtra& value : lifted.last().values) {
            const int n = ++counted[value.label];
            if (!most.contains(value.label))
                labels << value.label;
            most[value.label] = std::max(most.value(value.label), n);
        }
    }
    QHash<QString, int> firstColumn;
    for (const QString& label : labels) {
        firstColumn.insert(label, int(table.header.size()));
        for (int i = 0; i < most.value(label); ++i)
            table.header << label;
    }
    table.rows.reserve(lifted.size());
    for (const ContactValues& values : lifted) {
        QStringList row(values.texts.begin(), values.texts.end());
        row.resize(table.header.size());
        QHash<QString, int> used;
        for (const DraftExtra& value : values.values)
            row[firstColumn.value(value.label) + used[value.label]++] = value.value;
        table.rows.append(std::move(row));
    }
    return table;
}
