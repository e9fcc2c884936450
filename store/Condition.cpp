#include "Condition.h"

namespace {

// An apostrophe inside the value would close the quoted text early and the
// filter would not parse (O'Neil); doubled, the filter reads it as one apostrophe.
QString quote(const QString& value)
{
    QString escaped = value;
    escaped.replace(u'\'', QStringLiteral("''"));
    return escaped;
}

}  // namespace

QString BuildCondition(const QString& fieldName, const QString& value, int kind, bool quoted)
{
    if (quoted) {
        const QString text = quote(value);
        if (kind < 0)
            return fieldName + QStringLiteral(" like  '") + text + QStringLiteral("*'");
        if (kind == 0)
            return fieldName + QStringLiteral(" = '") + text + QStringLiteral("'");
        return fieldName + QStringLiteral(" like  '%") + text + QStringLiteral("%'");
    }
    // The operators are spelt as they always were: " >" and " >=" take no blank after them.
    switch (kind) {
    case -2: return fieldName + QStringLiteral(" <= ") + value;
    case -1: return fieldName + QStringLiteral(" < ") + value;
    case 1: return fieldName + QStringLiteral(" >") + value;
    case 2: return fieldName + QStringLiteral(" >=") + value;
    default: return fieldName + QStringLiteral(" = ") + value;
    }
}
