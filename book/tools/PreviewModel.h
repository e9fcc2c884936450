#pragma once
// The import's preview: one row per card as it will be stored (the seven
// columns and a thumbnail of its photo), a tick for whether it goes in, and a
// mark for what the import does with it: 备注 filled from fields without a
// column, a card already in the book (not ticked), a card that could not be read.

#include "exchange/ImportPlan.h"

#include <QAbstractTableModel>
#include <QPixmap>
#include <optional>
#include <vector>

class PreviewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Columns: the tick, the photo, the seven texts, the mark.
    static constexpr int TickColumn = 0;
    static constexpr int PhotoColumn = 1;
    static constexpr int FirstTextColumn = 2;
    static constexpr int MarkColumn = FirstTextColumn + ContactTextCount;
    static constexpr int ThumbnailSize = 32;

    using QAbstractTableModel::QAbstractTableModel;

    // A new plan: cards to add ticked, the others not.
    void setPlan(ImportPlan plan);
    const ImportPlan& plan() const { return plan_; }
    // The plan with the ticks as they stand.
    ImportPlan chosenPlan() const;
    const QList<bool>& ticks() const { return ticks_; }
    int tickedCount() const;
    void tickAll(bool ticked);
    // Ticks the row when it is not, and the other way; a card that could not be read stays unticked.
    void toggleTick(int row);

    // The mark of a card, as the last column shows it.
    static QString markOf(const PlannedCard& card, const FittedContact& contact);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void ticksChanged();

private:
    QPixmap thumbnail(int row) const;
    // The row's contact, read back from the plan once for all the cells a view asks of it in turn.
    const FittedContact& contactOf(int row) const;

    ImportPlan plan_;
    QList<bool> ticks_;
    mutable std::vector<std::optional<QPixmap>> thumbnails_;  // decoded when first shown
    mutable int contactRow_ = -1;
    mutable FittedContact contact_;  // of contactRow_
};
