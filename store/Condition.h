#pragma once
// One condition of a search filter, formatted for the query's Filter text.

#include <QString>

// quoted: kind < 0 starts with, 0 equals, > 0 contains; every apostrophe in the
// value is doubled so the filter reads it as one ("O'Neil" -> 'O''Neil'), while
// "%" and "*" stay wildcards.
// bare: -2 "<=", -1 "<", 1 ">", 2 ">=", otherwise "="; the value goes in unchanged.
QString BuildCondition(const QString& fieldName, const QString& value, int kind, bool quoted);
