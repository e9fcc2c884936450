#include "exchange/pinyin/PinyinTable.h"

#include "exchange/pinyin/PinyinTableData.h"

#include <algorithm>

namespace data = pinyin_data;

namespace {

// The index of character in the table, or -1.
int entryOf(char32_t character)
{
    if (character >= data::commonBlockStart && character < data::commonBlockEnd)
        return int(data::commonBlockEntries[character - data::commonBlockStart]) - 1;
    const char32_t* end = data::hanCodePoints + data::hanCount;
    const char32_t* found = std::lower_bound(data::hanCodePoints, end, character);
    return found == end || *found != character ? -1 : int(found - data::hanCodePoints);
}

}  // namespace

HanReadings readingsOf(char32_t character)
{
    const int entry = entryOf(character);
    if (entry < 0)
        return {};
    const std::uint16_t* list = data::readingPool + data::hanLists[entry];
    const int common = list[0] & 0xFF;
    const int surname = list[0] >> 8;
    return {{list + 1, size_t(common)}, {list + 1 + common, size_t(surname)}};
}

bool compoundSurnameReadings(char32_t first, char32_t second, std::uint16_t& firstSyllable,
                             std::uint16_t& secondSyllable)
{
    const data::CompoundSurname* end = data::compoundSurnames + data::compoundSurnameCount;
    const data::CompoundSurname* found =
        std::lower_bound(data::compoundSurnames, end, std::pair(first, second),
                         [](const data::CompoundSurname& c, const std::pair<char32_t, char32_t>& key) {
                             return std::pair(c.first, c.second) < key;
                         });
    if (found == end || found->first != first || found->second != second)
        return false;
    firstSyllable = found->firstSyllable;
    secondSyllable = found->secondSyllable;
    return true;
}

QLatin1StringView syllableText(std::uint16_t id)
{
    if (id >= data::syllableCount)
        return {};
    const int start = data::syllableStart[id];
    return QLatin1StringView(data::syllableText + start, data::syllableStart[id + 1] - start);
}
