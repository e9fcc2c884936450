#pragma once
// The search's filter text: one condition per filled-in field, joined by " and ".

#include <QString>
#include <QStringList>

// texts: the seven field texts in column order (ComboBox1, Edit1 .. Edit6).
// The category must match exactly, every other field is a "contains" condition.
// A field counts as filled in when it has at least one character, blanks included.
// The empty text means: no condition at all.
QString BuildSearchFilter(const QStringList& texts);
