#include "SortOrder.h"

#include "platform/TextRules.h"
#include "platform/Trim.h"

#include <QCollator>
#include <QLocale>
#include <QStringList>
#include <algorithm>
#include <numeric>
#include <optional>

std::vector<SortTerm> ParseSortText(const QString& text)
{
    std::vector<SortTerm> terms;
    if (TrimControl(text).isEmpty())
        return terms;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const QStringList words = TrimControl(part).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty() || words.size() > 2)
            throw SortSyntaxError("bad sort term");
        SortTerm term;
        term.column = words.at(0);
        if (words.size() == 2) {
            const QString direction = LowerAscii(words.at(1));
            if (direction == QLatin1String("desc"))
                term.descending = true;
            else if (direction != QLatin1String("asc"))
                throw SortSyntaxError("bad sort direction");
        }
        terms.push_back(term);
    }
    return terms;
}

std::vector<int> SortRecords(const std::vector<int>& records, const std::vector<SortKey>& keys, const SortValue& value)
{
    if (keys.empty())
        return records;
    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    const size_t n = records.size();
    // One column of collation keys per sort key; nullopt stands for null.
    std::vector<std::vector<std::optional<QCollatorSortKey>>> columns(keys.size());
    for (size_t k = 0; k < keys.size(); ++k) {
        columns[k].reserve(n);
        for (const int record : records) {
            const std::optional<QString> v = value(record, keys[k].column);
            if (v)
                columns[k].emplace_back(collator.sortKey(*v));
            else
                columns[k].emplace_back(std::nullopt);
        }
    }
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        for (size_t k = 0; k < keys.size(); ++k) {
            const auto& ka = columns[k][a];
            const auto& kb = columns[k][b];
            int c;
            if (!ka || !kb)
                c = int(bool(ka)) - int(bool(kb));  // null first
            else
                c = ka->compare(*kb);
            if (c != 0)
                return keys[k].descending ? c > 0 : c < 0;
        }
        return false;
    });
    std::vector<int> sorted;
    sorted.reserve(n);
    for (const size_t i : order)
        sorted.push_back(records[i]);
    return sorted;
}
