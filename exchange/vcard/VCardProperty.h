#pragma once
// One content line taken apart: group, name, parameters and the raw value.
// Version 2.1's bare parameters ("TEL;CELL;PREF", "NOTE;QUOTED-PRINTABLE")
// are named here, so readers ask for TYPE and ENCODING whatever the version.

#include <QByteArray>
#include <QList>
#include <QVarLengthArray>
#include <optional>

struct ContentLine;

// Lists of a few items in place, not each in an allocation of its own: a
// large file has millions of parameters.
struct VCardParameter {
    QByteArray name;                        // upper case
    QVarLengthArray<QByteArray, 2> values;  // unquoted, split at commas, as written
};

struct VCardProperty {
    int line = 0;
    QByteArray group;  // "item1" of "item1.TEL", as written
    QByteArray name;   // upper case
    QVarLengthArray<VCardParameter, 2> parameters;
    QByteArray value;  // raw, still encoded and escaped

    // The first value of a parameter, empty when it is not there.
    QByteArray parameter(QByteArrayView name) const;
    bool hasParameter(QByteArrayView name) const;
    // Whether TYPE holds the value, in any case.
    bool hasType(QByteArrayView type) const;
};

// Empty when the line has no colon or no name.
std::optional<VCardProperty> parseProperty(const ContentLine& line);
// The same taking the line's bytes for the value; the line is left as it was when it is no property.
std::optional<VCardProperty> parseProperty(ContentLine&& line);
