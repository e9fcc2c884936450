#pragma once
// A filter text compiled once into a small expression tree and evaluated per record.
// Grammar: conditions "column op value" with =, <>, <, >, <=, >=, like; and/or; parentheses;
// numbers; quoted values in which '' stands for one apostrophe. Text comparisons ignore
// ASCII letter case and compare values without their padding blanks; like takes % and *
// as wildcards (any run of characters), and every other character, _ and ? included,
// stands for itself.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>
#include <stdexcept>

class FilterSyntaxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One record as the filter sees it: columns by index, texts without their padding.
class FilterRow {
public:
    virtual ~FilterRow() = default;
    virtual bool IsNull(int column) const = 0;
    virtual QStringView Text(int column) const = 0;
};

class FilterExpr {
public:
    virtual ~FilterExpr() = default;
    // Column names are matched without regard to ASCII case; an unknown column,
    // a blob column or a text that does not parse raises FilterSyntaxError.
    // A blank text matches every record. A null value satisfies no condition.
    static std::unique_ptr<FilterExpr> Parse(const QString& text, const QStringList& columnNames,
                                             const QList<bool>& isBlobColumn);
    virtual bool Matches(const FilterRow& row) const = 0;
};
