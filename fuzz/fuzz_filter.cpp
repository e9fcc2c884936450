// A filter text, as the search builds it or as anyone could type it, parsed
// against the contact columns and run over a few records: it parses or is
// refused with a syntax error, never crashes, and answers the same for the
// text in parentheses and for the text joined to itself with "and".

#include "store/ContactSchema.h"
#include "store/FilterExpr.h"

#include <QString>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

namespace {

// The texts as the window keeps them; nullopt stands for a null column.
struct Sample : FilterRow {
    std::array<std::optional<QString>, 8> values;
    bool IsNull(int column) const override { return !values.at(size_t(column)).has_value(); }
    QStringView Text(int column) const override
    {
        const auto& v = values.at(size_t(column));
        return v ? QStringView(*v) : QStringView();
    }
};

Sample sample(std::initializer_list<const char*> texts)
{
    Sample s;
    size_t i = 0;
    for (const char* t : texts) {
        if (t)
            s.values[i] = QString::fromUtf8(t);
        ++i;
    }
    return s;  // the photo column and any column not given stay null
}

const std::vector<Sample>& samples()
{
    static const std::vector<Sample> rows{
        sample({"朋友", "王小明", "1990-05-01", "13812345678", "777", "北京市海淀区", "O'Neil 的同学"}),
        sample({"同事", "张三", "", "010-6275 1234", "5", "上海", "100% 可靠 * 号"}),
        sample({nullptr, "Li Lei", nullptr, "+86 138", "-1.5e3", nullptr, ""}),
        sample({"", "", "", "", "", "", ""}),
        sample({"家人", "欧阳 娜娜", "二〇〇一年", "inf", "nan", "香港", "_%*?'[]"}),
    };
    return rows;
}

std::optional<std::vector<bool>> evaluate(const QString& text)
{
    QStringList names = ContactTextColumns();
    names << PhotoColumn();
    QList<bool> blob(names.size(), false);
    blob.back() = true;
    std::unique_ptr<FilterExpr> filter;
    try {
        filter = FilterExpr::Parse(text, names, blob);
    } catch (const FilterSyntaxError&) {
        return std::nullopt;
    }
    std::vector<bool> answers;
    for (const Sample& row : samples())
        answers.push_back(filter->Matches(row));
    return answers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto answers = evaluate(text);
    if (!answers || text.trimmed().isEmpty())
        return 0;
    if (evaluate(text) != answers)
        std::abort();  // the same text answered differently
    if (evaluate(QLatin1Char('(') + text + QLatin1Char(')')) != answers)
        std::abort();
    if (evaluate(text + QStringLiteral(" and ") + text) != answers)
        std::abort();
    return 0;
}
