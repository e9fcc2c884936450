// Writes the pinyin reading table as a C++ source, at build time:
//
//   pinyin_table_gen Unihan_Readings.txt.bz2 SurnameCorrections.txt out.cpp
//
// Common readings of a character: ICU's Han-Latin reading first (the one shown),
// then those of kMandarin and kXHC1983 (the modern dictionary's polyphones);
// kHanyuPinyin only for a character that has neither, since it lists classical
// readings nobody types (搬 su, 包 fu). A traditional character also reads as its
// simplified form (ICU Hant-Hans). Surname readings: where ICU's Han-Latin/Names
// reads a leading character differently from Han-Latin, and the two-character
// surnames its rules name; then the hand corrections.

#include "exchange/pinyin/PinyinTableData.h"

#include <unicode/normalizer2.h>
#include <unicode/translit.h>
#include <unicode/uclean.h>
#include <unicode/unistr.h>

#include <bzlib.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Readings = std::vector<std::string>;

[[noreturn]] void fail(const std::string& message)
{
    throw std::runtime_error(message);
}

std::string readBzip2(const char* path)
{
    FILE* file = std::fopen(path, "rb");
    if (!file)
        fail(std::string("cannot open ") + path);
    std::unique_ptr<FILE, int (*)(FILE*)> closer(file, std::fclose);
    int error = BZ_OK;
    BZFILE* bz = BZ2_bzReadOpen(&error, file, 0, 0, nullptr, 0);
    if (error != BZ_OK)
        fail(std::string("not bzip2: ") + path);
    std::string text;
    char buffer[1 << 16];
    while (error == BZ_OK) {
        const int n = BZ2_bzRead(&error, bz, buffer, sizeof buffer);
        if (error == BZ_OK || error == BZ_STREAM_END)
            text.append(buffer, n);
    }
    BZ2_bzReadClose(&error, bz);
    if (text.empty())
        fail(std::string("damaged bzip2 file: ") + path);
    return text;
}

std::string utf8(const icu::UnicodeString& s)
{
    std::string out;
    s.toUTF8String(out);
    return out;
}

icu::UnicodeString fromCodePoint(char32_t c)
{
    return icu::UnicodeString(UChar32(c));
}

// "lǚ" -> "lv", "ê̄" -> "e"; empty when anything but Latin letters remains.
std::string toneless(const icu::UnicodeString& reading)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    const icu::UnicodeString decomposed = nfd->normalize(reading, status);
    if (U_FAILURE(status))
        fail("normalisation failed");
    std::string out;
    for (int i = 0; i < decomposed.length(); ++i) {
        const char16_t c = decomposed.charAt(i);
        if (c == 0x0308 && !out.empty() && out.back() == 'u')
            out.back() = 'v';
        else if (c >= 0x0300 && c <= 0x036F)
            continue;  // tone marks, and the circumflex of ê
        else if (c >= 'A' && c <= 'Z')
            out += char(c - 'A' + 'a');
        else if (c >= 'a' && c <= 'z')
            out += char(c);
        else
            return {};
    }
    return out;
}

void addReading(Readings& list, const std::string& reading)
{
    if (reading.empty())
        return;
    for (const std::string& r : list)
        if (r == reading)
            return;
    list.push_back(reading);
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        if (!part.empty())
            parts.push_back(part);
    return parts;
}

// "0117.100:chán 0207.100:dān" or "21521.030:zēng,céng" or "wàn mò".
void addFieldReadings(Readings& list, const std::string& value)
{
    for (const std::string& token : split(value, ' ')) {
        const size_t colon = token.rfind(':');
        const std::string readings = colon == std::string::npos ? token : token.substr(colon + 1);
        for (const std::string& r : split(readings, ','))
            addReading(list, toneless(icu::UnicodeString::fromUTF8(r)));
    }
}

struct UnihanFields {
    std::string mandarin, xhc, hanyu;
};

std::map<char32_t, UnihanFields> parseUnihan(const std::string& text)
{
    std::map<char32_t, UnihanFields> fields;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::vector<std::string> cols = split(line, '\t');
        if (cols.size() != 3 || cols[0].rfind("U+", 0) != 0)
            continue;
        const char32_t cp = char32_t(std::stoul(cols[0].substr(2), nullptr, 16));
        if (cols[1] == "kMandarin")
            fields[cp].mandarin = cols[2];
        else if (cols[1] == "kXHC1983")
            fields[cp].xhc = cols[2];
        else if (cols[1] == "kHanyuPinyin")
            fields[cp].hanyu = cols[2];
    }
    if (fields.size() < 20000)
        fail("too few characters in the Unihan readings");
    return fields;
}

class Icu {
public:
    Icu() : latin_(open("Han-Latin")), names_(open("Han-Latin/Names")), simplify_(open("Hant-Hans")) {}

    icu::UnicodeString latin(const icu::UnicodeString& s) const { return apply(*latin_, s); }
    icu::UnicodeString names(const icu::UnicodeString& s) const { return apply(*names_, s); }
    icu::UnicodeString simplified(const icu::UnicodeString& s) const { return apply(*simplify_, s); }
    std::string namesRules() const
    {
        icu::UnicodeString rules;
        names_->toRules(rules, true);
        return utf8(rules);
    }

private:
    static std::unique_ptr<icu::Transliterator> open(const char* id)
    {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> t(icu::Transliterator::createInstance(id, UTRANS_FORWARD, status));
        if (U_FAILURE(status) || !t)
            fail(std::string("ICU has no transliterator ") + id);
        return t;
    }
    static icu::UnicodeString apply(const icu::Transliterator& t, icu::UnicodeString s)
    {
        t.transliterate(s);
        return s;
    }

    std::unique_ptr<icu::Transliterator> latin_, names_, simplify_;
};

struct Entry {
    Readings readings;
    Readings surnames;
};

struct Compound {
    std::string first, second;
};

using CompoundKey = std::pair<char32_t, char32_t>;

struct Corrections {
    std::map<char32_t, Readings> single;
    std::map<CompoundKey, Compound> compound;
};

std::vector<char32_t> codePoints(const std::string& text)
{
    const icu::UnicodeString s = icu::UnicodeString::fromUTF8(text);
    std::vector<char32_t> out;
    for (int i = 0; i < s.length(); i = s.moveIndex32(i, 1))
        out.push_back(char32_t(s.char32At(i)));
    return out;
}

Corrections readCorrections(const char* path)
{
    std::ifstream in(path);
    if (!in)
        fail(std::string("cannot open ") + path);
    Corrections corrections;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const size_t hash = line.find('#');
        const std::vector<std::string> words = split(line.substr(0, hash), ' ');
        if (words.empty())
            continue;
        const std::vector<char32_t> surname = codePoints(words[0]);
        const std::string where = std::string(path) + ":" + std::to_string(number);
        if (surname.size() == 1 && words.size() == 2)
            corrections.single[surname[0]] = split(words[1], '|');
        else if (surname.size() == 2 && words.size() == 3)
            corrections.compound[{surname[0], surname[1]}] = {words[1], words[2]};
        else
            fail(where + ": expected a surname and one reading per character");
    }
    return corrections;
}

// The two-character surnames named by Han-Latin/Names: rules of the form
// "{A}' '?B > reading;", which read A differently before B.
std::set<CompoundKey> namedCompounds(const std::string& rules)
{
    std::set<CompoundKey> pairs;
    const std::regex rule(R"(\{\\u([0-9A-Fa-f]{4})\}' '\?\\u([0-9A-Fa-f]{4}))");
    for (auto it = std::sregex_iterator(rules.begin(), rules.end(), rule); it != std::sregex_iterator(); ++it)
        pairs.insert({char32_t(std::stoul((*it)[1], nullptr, 16)), char32_t(std::stoul((*it)[2], nullptr, 16))});
    if (pairs.empty())
        fail("Han-Latin/Names names no two-character surname: its rules changed form");
    return pairs;
}

class Table {
public:
    Table(const std::map<char32_t, UnihanFields>& fields, const Icu& icu, const Corrections& corrections)
    {
        std::map<char32_t, char32_t> simplifiedOf;
        for (const auto& [cp, f] : fields) {
            const icu::UnicodeString c = fromCodePoint(cp);
            Entry e;
            const std::string shown = toneless(icu.latin(c));
            addReading(e.readings, shown);
            addFieldReadings(e.readings, f.mandarin);
            addFieldReadings(e.readings, f.xhc);
            if (f.mandarin.empty() && f.xhc.empty())
                addFieldReadings(e.readings, f.hanyu);
            if (e.readings.empty())
                continue;
            const std::string asSurname = toneless(icu.names(c));
            if (!asSurname.empty() && asSurname != shown)
                addReading(e.surnames, asSurname);
            if (const auto fix = corrections.single.find(cp); fix != corrections.single.end())
                e.surnames = fix->second;
            entries_[cp] = e;
            const icu::UnicodeString s = icu.simplified(c);
            if (s.countChar32() == 1 && char32_t(s.char32At(0)) != cp)
                simplifiedOf[cp] = char32_t(s.char32At(0));
        }
        for (const auto& [traditional, simple] : simplifiedOf) {
            const auto found = entries_.find(simple);
            if (found == entries_.end())
                continue;
            Entry& e = entries_[traditional];
            for (const std::string& r : found->second.readings)
                addReading(e.readings, r);
            if (e.surnames.empty())
                e.surnames = found->second.surnames;
            formsOf_[simple].push_back(traditional);
        }
        addCompounds(icu, corrections);
    }

    void write(std::ostream& out) const
    {
        std::set<std::string> syllables;
        for (const auto& [cp, e] : entries_) {
            syllables.insert(e.readings.begin(), e.readings.end());
            syllables.insert(e.surnames.begin(), e.surnames.end());
        }
        for (const auto& [key, c] : compounds_) {
            syllables.insert(c.first);
            syllables.insert(c.second);
        }
        std::map<std::string, int> id;
        for (const std::string& s : syllables)
            id.emplace(s, int(id.size()));

        out << "// Made by pinyin_table_gen from the Unihan readings and ICU: do not edit.\n"
               "#include \"exchange/pinyin/PinyinTableData.h\"\n\nnamespace pinyin_data {\n\n";
        out << "const int syllableCount = " << syllables.size() << ";\n";
        out << "const char syllableText[] =";
        std::string line;
        std::vector<size_t> starts;
        size_t offset = 0;
        for (const std::string& s : syllables) {
            starts.push_back(offset);
            offset += s.size();
            line += s;
            if (line.size() > 90) {
                out << "\n    \"" << line << '"';
                line.clear();
            }
        }
        out << "\n    \"" << line << "\";\n";
        starts.push_back(offset);
        if (offset > 0xFFFF)
            fail("syllable text too long");
        writeNumbers(out, "const std::uint16_t syllableStart[]", starts);

        std::map<std::vector<int>, size_t> lists;
        std::vector<size_t> pool, listOf;
        std::vector<unsigned> points;
        for (const auto& [cp, e] : entries_) {
            std::vector<int> key{int(e.readings.size() | e.surnames.size() << 8)};
            for (const std::string& r : e.readings)
                key.push_back(id.at(r));
            for (const std::string& r : e.surnames)
                key.push_back(id.at(r));
            auto [it, fresh] = lists.emplace(key, pool.size());
            if (fresh)
                pool.insert(pool.end(), key.begin(), key.end());
            points.push_back(cp);
            listOf.push_back(it->second);
        }
        if (pool.size() > 0xFFFF || points.size() >= 0xFFFF)
            fail("reading table too large");
        out << "const int hanCount = " << points.size() << ";\n";
        writeNumbers(out, "const char32_t hanCodePoints[]", points);
        std::vector<size_t> block(pinyin_data::commonBlockEnd - pinyin_data::commonBlockStart, 0);
        for (size_t i = 0; i < points.size(); ++i)
            if (points[i] >= pinyin_data::commonBlockStart && points[i] < pinyin_data::commonBlockEnd)
                block[points[i] - pinyin_data::commonBlockStart] = i + 1;
        writeNumbers(out, "const std::uint16_t commonBlockEntries[]", block);
        writeNumbers(out, "const std::uint16_t hanLists[]", listOf);
        writeNumbers(out, "const std::uint16_t readingPool[]", pool);

        out << "const int compoundSurnameCount = " << compounds_.size() << ";\n";
        out << "const CompoundSurname compoundSurnames[] = {\n";
        for (const auto& [key, c] : compounds_)
            out << "    {" << unsigned(key.first) << ", " << unsigned(key.second) << ", " << id.at(c.first) << ", "
                << id.at(c.second) << "},\n";
        out << "};\n\n}  // namespace pinyin_data\n";
        std::cerr << "pinyin table: " << points.size() << " characters, " << syllables.size() << " syllables, "
                  << lists.size() << " reading lists, " << compounds_.size() << " compound surnames\n";
    }

private:
    void addCompounds(const Icu& icu, const Corrections& corrections)
    {
        std::map<CompoundKey, Compound> simple;
        for (const CompoundKey& key : namedCompounds(icu.namesRules())) {
            const icu::UnicodeString pair = fromCodePoint(key.first) + fromCodePoint(key.second);
            std::istringstream words(utf8(icu.names(pair)));
            std::string first, second;
            words >> first >> second;
            Compound c{toneless(icu::UnicodeString::fromUTF8(first)), toneless(icu::UnicodeString::fromUTF8(second))};
            if (c.first.empty() || c.second.empty())
                fail("Han-Latin/Names gives no reading for a two-character surname");
            simple[key] = c;
        }
        for (const auto& [key, c] : corrections.compound)
            simple[key] = c;
        for (const auto& [key, c] : simple)
            for (const char32_t a : formsOf(key.first))
                for (const char32_t b : formsOf(key.second))
                    compounds_[{a, b}] = c;
    }

    std::vector<char32_t> formsOf(char32_t simple) const
    {
        std::vector<char32_t> forms{simple};
        if (const auto it = formsOf_.find(simple); it != formsOf_.end())
            forms.insert(forms.end(), it->second.begin(), it->second.end());
        return forms;
    }

    template <typename T>
    static void writeNumbers(std::ostream& out, const char* declaration, const std::vector<T>& numbers)
    {
        out << declaration << " = {";
        for (size_t i = 0; i < numbers.size(); ++i)
            out << (i % 16 == 0 ? "\n    " : " ") << numbers[i] << ',';
        out << "\n};\n";
    }

    std::map<char32_t, Entry> entries_;
    std::map<char32_t, std::vector<char32_t>> formsOf_;  // simplified -> traditional forms
    std::map<CompoundKey, Compound> compounds_;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: pinyin_table_gen Unihan_Readings.txt.bz2 SurnameCorrections.txt out.cpp\n";
        return 2;
    }
    try {
        const auto fields = parseUnihan(readBzip2(argv[1]));
        const Icu icu;
        const Table table(fields, icu, readCorrections(argv[2]));
        const std::string partial = std::string(argv[3]) + ".part";
        {
            std::ofstream out(partial);
            table.write(out);
            if (!out.flush())
                fail("cannot write " + partial);
        }
        if (std::rename(partial.c_str(), argv[3]) != 0)
            fail(std::string("cannot write ") + argv[3]);
    } catch (const std::exception& e) {
        std::cerr << "pinyin_table_gen: " << e.what() << '\n';
        return 1;
    }
    u_cleanup();  // ICU's caches, so a leak checker sees none
    return 0;
}
