#pragma once
// The 查找 page's result table: the contacts found, in name order, seven columns.

#include "book/ContactIndex.h"

#include <QAbstractTableModel>
#include <vector>

class FoundModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // A new book's contacts, or the same with the search run again.
    void setIndex(ContactIndex index);
    void find(const QString& typed);
    const ContactIndex& contacts() const { return index_; }
    // The contact a row shows.
    int contactAt(int row) const { return found_[size_t(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    ContactIndex index_;
    QString typed_;
    std::vector<int> found_;
};
