#pragma once
// The window's order by 姓名: its collation, nulls first, ties in table order.
// Sorting only the contacts found gives the order sorting all of them would.

#include <QString>
#include <functional>
#include <optional>
#include <vector>

// Positions 0 .. count-1 in name order; name answers a contact's name, nullopt for null.
std::vector<int> InNameOrder(int count, const std::function<std::optional<QString>(int)>& name);
