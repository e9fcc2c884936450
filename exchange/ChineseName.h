#pragma once
// How a person's name splits into family and given name, and how name or
// address parts are put back together: Chinese parts run on without a blank
// ("欧阳" + "修" -> "欧阳修"), Latin parts take one ("Smith" + "John").

#include <QString>
#include <QStringList>

// The common two-character surnames, in one place for every reader of names.
const QStringList& compoundSurnames();

struct NameParts {
    QString family;
    QString given;
};

// A Chinese name (starting with a Han character, no blank) loses its surname:
// the first character, or the first two for a compound surname when a given
// name follows. A name with blanks splits at its blanks: a Chinese one after its
// first word, a Latin one before its last ("John Smith" -> Smith / John); a
// single Latin word is a given name.
NameParts splitPersonName(const QString& name);

// Joins the parts that are not blank, in order: no blank where both neighbours are Han
// characters, one blank otherwise.
QString joinNameParts(const QStringList& parts);
