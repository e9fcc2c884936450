#pragma once
// Looks up the readings of one Han character in the table made at build time.

#include <QLatin1StringView>
#include <cstdint>
#include <span>

struct HanReadings {
    std::span<const std::uint16_t> common;   // syllable ids, the usual reading first
    std::span<const std::uint16_t> surname;  // as a surname where it reads differently; else empty
};

// Empty readings (no common syllable) for a character the table does not know.
HanReadings readingsOf(char32_t character);

// The surname's two syllables when a name starts with first, second and the
// first character reads differently there (万俟 mo qi); false otherwise.
bool compoundSurnameReadings(char32_t first, char32_t second, std::uint16_t& firstSyllable,
                             std::uint16_t& secondSyllable);

// A syllable id as toneless lower-case ASCII, ü written as v: "lv", "zhang".
QLatin1StringView syllableText(std::uint16_t id);
