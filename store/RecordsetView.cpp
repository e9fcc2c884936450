// The view over the records: which records pass the filter, in which order,
// and which one is current.

#include "store/RecordsetImpl.h"

namespace {

// A record as the filter sees it: texts as stored, without padding.
class RecordAsFilterRow : public FilterRow {
public:
    explicit RecordAsFilterRow(const Record& record) : record_(record) {}
    bool IsNull(int column) const override { return record_.isNull(column); }
    QStringView Text(int column) const override { return record_.text(column); }

private:
    const Record& record_;
};

}  // namespace

const Record* TADOQuery::Impl::currentRecord() const
{
    if (!active || current < 0 || current >= int(view.size()))
        return nullptr;
    return &records[view[current]];
}

bool TADOQuery::Impl::passesFilter(const Record& record) const
{
    if (!filtered || !filter)
        return true;
    return filter->Matches(RecordAsFilterRow(record));
}

void TADOQuery::Impl::compileFilter(const QString& text)
{
    if (text.trimmed().isEmpty()) {
        filter.reset();
        return;
    }
    QStringList names;
    QList<bool> blobs;
    for (const ColumnInfo& column : columns) {
        names << column.name;
        blobs << column.blob;
    }
    try {
        filter = FilterExpr::Parse(text, names, blobs);
    } catch (const FilterSyntaxError&) {
        fail(QStringLiteral("筛选条件有误"));
    }
}

std::vector<SortKey> TADOQuery::Impl::resolveSort(const QString& text) const
{
    std::vector<SortTerm> terms;
    try {
        terms = ParseSortText(text);
    } catch (const SortSyntaxError&) {
        fail(QStringLiteral("排序条件有误"));
    }
    std::vector<SortKey> keys;
    for (const SortTerm& term : terms) {
        const int column = columnIndex(term.column);
        if (column < 0)
            fail(QStringLiteral("字段 '%1' 未找到").arg(term.column));
        if (columns[column].blob)
            fail(QStringLiteral("不能按 %1 排序").arg(columns[column].name));
        keys.push_back(SortKey{column, term.descending});
    }
    return keys;
}

void TADOQuery::Impl::rebuildView(bool keepCurrent)
{
    buildView(keepCurrent);
    notifyReset();
}

void TADOQuery::Impl::buildView(bool keepCurrent)
{
    const int keptRecord = keepCurrent && currentRecord() ? view[current] : -1;
    std::vector<int> passing;
    passing.reserve(records.size());
    for (int i = 0; i < int(records.size()); ++i) {
        if (!records[i].deleted && passesFilter(records[i]))
            passing.push_back(i);
    }
    view = SortRecords(passing, sortKeys, [this](int record, int column) -> std::optional<QString> {
        if (records[record].isNull(column))
            return std::nullopt;
        return records[record].text(column).toString();
    });
    current = view.empty() ? -1 : 0;
    if (keptRecord >= 0) {
        const auto found = std::find(view.begin(), view.end(), keptRecord);
        if (found != view.end())
            current = int(found - view.begin());
    }
    bof = true;
    eof = view.empty();
    if (keptRecord >= 0 && current > 0)
        bof = false;
}

void TADOQuery::Impl::moveTo(int viewIndex)
{
    if (viewIndex == current)
        return;
    current = viewIndex;
    notifyCurrent();
}

int TADOQuery::Impl::columnIndex(const QString& name) const
{
    for (int i = 0; i < int(columns.size()); ++i) {
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void TADOQuery::Impl::notifyReset()
{
    if (holdCount > 0) {
        heldChanges = true;
        return;
    }
    emit q->DataSetChanged();
    emit q->CurrentChanged();
}

void TADOQuery::Impl::notifyRow(int viewRow)
{
    if (holdCount > 0) {
        heldChanges = true;
        return;
    }
    emit q->RecordChanged(viewRow);
}

void TADOQuery::Impl::notifyCurrent()
{
    if (holdCount > 0) {
        heldChanges = true;
        return;
    }
    emit q->CurrentChanged();
}
