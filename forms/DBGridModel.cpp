#include "DBGridModel.h"

#include "store/ADODB.h"

TDBGridModel::TDBGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void TDBGridModel::SetDataSource(TDataSource* source)
{
    if (TADOQuery* old = DataSet())
        disconnect(old, nullptr, this, nullptr);
    source_ = source;
    if (TADOQuery* query = DataSet()) {
        connect(query, &TADOQuery::DataSetChanged, this, &TDBGridModel::OnDataSetChanged);
        connect(query, &TADOQuery::RecordChanged, this, &TDBGridModel::OnRecordChanged);
        connect(query, &TADOQuery::CurrentChanged, this, &TDBGridModel::OnCurrentChanged);
        // Forget the query if it goes before us.
        connect(query, &QObject::destroyed, this, [this] {
            beginResetModel();
            source_ = nullptr;
            rows_ = 0;
            titles_.clear();
            currentRow_ = -1;
            endResetModel();
        });
    }
    Refetch();
}

TADOQuery* TDBGridModel::DataSet() const
{
    return source_ ? source_->DataSet : nullptr;
}

QString TDBGridModel::IndicatorMark()
{
    return QStringLiteral("▶");
}

int TDBGridModel::QueryCurrentRow() const
{
    TADOQuery* query = DataSet();
    if (!query || !query->Active())
        return -1;
    const int recNo = query->RecNo();
    return recNo > 0 ? recNo - 1 : -1;
}

void TDBGridModel::Refetch()
{
    beginResetModel();
    stale_ = false;
    rows_ = 0;
    titles_.clear();
    TADOQuery* query = DataSet();
    if (query && query->Active()) {
        rows_ = query->RecordCount();
        for (int i = 0; i < query->FieldCount(); ++i)
            titles_.append(query->Fields(i)->FieldName);
    }
    currentRow_ = QueryCurrentRow();
    endResetModel();
    emit CurrentRowChanged(currentRow_);
}

bool TDBGridModel::Holding()
{
    TADOQuery* query = DataSet();
    if (query && query->ControlsDisabled()) {
        stale_ = true;
        return true;
    }
    return false;
}

void TDBGridModel::OnDataSetChanged()
{
    if (!Holding())
        Refetch();
}

void TDBGridModel::OnRecordChanged(int viewRow)
{
    if (Holding())
        return;
    if (stale_ || viewRow < 0 || viewRow >= rows_) {
        Refetch();
        return;
    }
    emit dataChanged(index(viewRow, 0), index(viewRow, qMax(0, int(titles_.size()) - 1)));
    OnCurrentChanged();
}

void TDBGridModel::OnCurrentChanged()
{
    if (Holding())
        return;
    if (stale_) {
        Refetch();
        return;
    }
    const int row = QueryCurrentRow();
    if (row == currentRow_)
        return;
    const int old = currentRow_;
    currentRow_ = row;
    if (old >= 0 && old < rows_)
        emit headerDataChanged(Qt::Vertical, old, old);
    if (row >= 0 && row < rows_)
        emit headerDataChanged(Qt::Vertical, row, row);
    emit CurrentRowChanged(row);
}

int TDBGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int TDBGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(titles_.size());
}

QVariant TDBGridModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_ || index.column() >= titles_.size())
        return {};
    TADOQuery* query = DataSet();
    if (!query)
        return {};
    // Drawing must never throw into Qt; a row that cannot be read shows empty.
    try {
        if (!query->Active() || index.row() >= query->RecordCount())
            return {};
        return query->DisplayText(index.row(), index.column());  // a photo column reads (BLOB) or (Blob)
    } catch (...) {
        return {};
    }
}

QVariant TDBGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal)
        return titles_.value(section);
    return section == currentRow_ ? IndicatorMark() : QString();
}

Qt::ItemFlags TDBGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;  // read-only: changes go through the buttons
}
