#pragma once
// Sort texts ("col ASC, col2 DESC") and the ordering they describe. Texts sort
// in pinyin order with the Chinese collation set explicitly, whatever the
// machine's locale; nulls come first; equal keys keep their order.

#include "platform/Errors.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

struct SortTerm {
    QString column;
    bool descending = false;
};

class SortSyntaxError : public Exception {
public:
    using Exception::Exception;
};

// An empty or blank text gives no terms (table order).
std::vector<SortTerm> ParseSortText(const QString& text);

struct SortKey {
    int column;
    bool descending;
};

// A value of a record for sorting; nullopt for null.
using SortValue = std::function<std::optional<QString>(int record, int column)>;

// The records reordered by the keys; collation keys are computed once per record and key.
std::vector<int> SortRecords(const std::vector<int>& records, const std::vector<SortKey>& keys, const SortValue& value);
