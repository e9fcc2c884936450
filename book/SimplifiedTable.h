#pragma once
// What ICU's Hant-Hans transliterator makes of each common CJK ideograph
// taken on its own, made at build time (book/gen/GenerateSimplifiedTable.cpp),
// so comparing names builds no transliterator, which is slow to build.

namespace simplified_table {

constexpr char16_t first = 0x4E00, last = 0x9FFF;

// For the ideograph first + i: its simplified form when that is one unit (the
// ideograph itself when it has none), 0 when it is more than one.
extern const char16_t units[last - first + 1];

}  // namespace simplified_table
