#include "NameOrder.h"

#include "store/SortOrder.h"

#include <numeric>

std::vector<int> InNameOrder(int count, const std::function<std::optional<QString>(int)>& name)
{
    std::vector<int> rows(size_t(std::max(count, 0)));
    std::iota(rows.begin(), rows.end(), 0);
    return SortRecords(rows, {SortKey{0, false}}, [&](int row, int) { return name(row); });
}
