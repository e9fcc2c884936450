// Writes, at build time, what ICU's Hant-Hans transliterator makes of each
// common CJK ideograph (U+4E00 to U+9FFF) taken on its own, as a C++ source:
//
//   simplified_table_gen out.cpp
//
// One unit for each: the simplified form when it is one unit (the character
// itself when it has none), 0 when it is more than one.

#include "book/SimplifiedTable.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <cstdio>
#include <fstream>
#include <memory>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: simplified_table_gen out.cpp\n");
        return 2;
    }
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::Transliterator> toSimplified(
        icu::Transliterator::createInstance("Hant-Hans", UTRANS_FORWARD, status));
    if (U_FAILURE(status)) {
        std::fprintf(stderr, "no Hant-Hans transliterator: %s\n", u_errorName(status));
        return 1;
    }
    std::ofstream out(argv[1]);
    out << "// Made by simplified_table_gen from ICU's Hant-Hans: do not edit.\n"
           "#include \"book/SimplifiedTable.h\"\n\n"
           "namespace simplified_table {\n\n"
           "const char16_t units[last - first + 1] = {\n";
    for (char32_t c = simplified_table::first; c <= simplified_table::last; ++c) {
        icu::UnicodeString text = icu::UnicodeString(UChar32(c));
        toSimplified->transliterate(text);
        out << unsigned(text.length() == 1 ? text.charAt(0) : 0)
            << ((c - simplified_table::first) % 16 == 15 ? ",\n" : ",");
    }
    out << "};\n\n}  // namespace simplified_table\n";
    return out.good() ? 0 : 1;
}
