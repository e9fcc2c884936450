#pragma once
// The reading table made at build time from the Unihan readings and ICU's
// transliterators (see gen/). Syllables are toneless lower-case ASCII with ü
// written as v; every Han character of the table lists its common readings and,
// where a surname reads differently, its readings as a surname.

#include <cstdint>

namespace pinyin_data {

struct CompoundSurname {
    char32_t first;
    char32_t second;
    std::uint16_t firstSyllable;
    std::uint16_t secondSyllable;
};

// Syllable i is syllableText + syllableStart[i], syllableStart[i + 1] - syllableStart[i] letters long.
extern const char syllableText[];
extern const std::uint16_t syllableStart[];
extern const int syllableCount;

// Ascending code points; each one's reading list starts at readingPool[hanLists[i]]:
// one word (readings | surname readings << 8), then the reading ids, then the surname ids.
extern const char32_t hanCodePoints[];
extern const std::uint16_t hanLists[];
extern const int hanCount;
extern const std::uint16_t readingPool[];

// The common ideographs (Extension A and the Unified block) are looked up
// directly: commonBlockEntries[c - commonBlockStart] is the index of c in
// hanCodePoints plus one, or 0 when the table does not hold c.
constexpr char32_t commonBlockStart = 0x3400;
constexpr char32_t commonBlockEnd = 0xA000;
extern const std::uint16_t commonBlockEntries[];

// Two-character surnames whose first character reads differently there, simplified
// and traditional forms alike, ordered by first then second character.
extern const CompoundSurname compoundSurnames[];
extern const int compoundSurnameCount;

}  // namespace pinyin_data
