#include "FoundModel.h"

#include "store/ContactSchema.h"

void FoundModel::setIndex(ContactIndex index)
{
    index_ = std::move(index);
    find(typed_);
}

void FoundModel::find(const QString& typed)
{
    beginResetModel();
    typed_ = typed;
    found_ = index_.find(typed);
    endResetModel();
}

int FoundModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(found_.size());
}

int FoundModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ContactTextCount;
}

QVariant FoundModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return index_.text(contactAt(index.row()), ContactText(index.column()));
}

QVariant FoundModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return ContactTextColumns().value(section);
}
