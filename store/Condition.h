#pragma once
// One condition of a search filter, formatted for the query's Filter text.

#include <QString>

// quoted: kind < 0 starts with, 0 equals, > 0 contains;
// bare: -2 "<=", -1 "<", 1 ">", 2 ">=", otherwise "=".
QString BuildCondition(const QString& fieldName, const QString& value, int kind, bool quoted);
