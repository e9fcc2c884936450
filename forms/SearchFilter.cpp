#include "SearchFilter.h"

#include "forms/ContactColumns.h"
#include "store/Condition.h"

QString BuildSearchFilter(const QStringList& texts)
{
    const QStringList& columns = ContactTextColumns();
    QString filter;
    for (qsizetype i = 0; i < columns.size() && i < texts.size(); ++i) {
        if (texts[i].isEmpty())
            continue;
        const int kind = i == 0 ? 0 : 1;  // category: equals; the rest: contains
        const QString condition = BuildCondition(columns[i], texts[i], kind, true);
        filter = filter.isEmpty() ? condition : filter + QStringLiteral(" and ") + condition;
    }
    return filter;
}
