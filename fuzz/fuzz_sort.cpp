// A sort text and records to sort: the first line is the sort text (parsed as
// the grid's title click would hand it over), each further line a record of
// tab-separated texts, a missing text being null. Sorting never crashes and
// gives every record back once, in the order the collation keys say, with
// equal records in their old order.

#include "store/SortOrder.h"

#include <QCollator>
#include <QList>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

const QStringList Columns{QStringLiteral("姓名"), QStringLiteral("电话"), QStringLiteral("QQ")};

using Record = std::vector<std::optional<QString>>;

std::vector<SortKey> keysFor(const QString& sortText)
{
    std::vector<SortKey> keys;
    try {
        for (const SortTerm& term : ParseSortText(sortText)) {
            const int column = int(Columns.indexOf(term.column));
            if (column >= 0)
                keys.push_back(SortKey{column, term.descending});
        }
    } catch (const SortSyntaxError&) {
    }
    if (keys.empty())
        keys.push_back(SortKey{0, false});  // always sort something
    return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<QString> lines =
        QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)).split(QLatin1Char('\n'));
    const std::vector<SortKey> keys = keysFor(lines.front());

    std::vector<Record> records;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        Record r(Columns.size());
        const QStringList fields = lines[i].split(QLatin1Char('\t'));
        for (qsizetype c = 0; c < fields.size() && c < Columns.size(); ++c)
            r[size_t(c)] = fields[c];
        records.push_back(std::move(r));
    }
    std::vector<int> input(records.size());
    for (size_t i = 0; i < input.size(); ++i)
        input[i] = int(i);

    const auto value = [&](int record, int column) { return records.at(size_t(record)).at(size_t(column)); };
    const std::vector<int> sorted = SortRecords(input, keys, value);

    std::vector<int> seen = sorted;
    std::sort(seen.begin(), seen.end());
    if (seen != input)
        std::abort();  // a record lost or doubled

    // Each neighbour pair in order: compare with keys of its own, as a caller would.
    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    const auto compare = [&](int a, int b) {
        for (const SortKey& k : keys) {
            const auto va = value(a, k.column);
            const auto vb = value(b, k.column);
            int c = int(bool(va)) - int(bool(vb));  // null first
            if (va && vb)
                c = collator.sortKey(*va).compare(collator.sortKey(*vb));
            if (c != 0)
                return k.descending ? -c : c;
        }
        return 0;
    };
    for (size_t i = 1; i < sorted.size(); ++i) {
        const int c = compare(sorted[i - 1], sorted[i]);
        if (c > 0 || (c == 0 && sorted[i - 1] > sorted[i]))
            std::abort();  // out of order, or equal records swapped
    }
    return 0;
}
