#include "PreviewModel.h"

#include "photo/JpegCodec.h"
#include "store/ContactSchema.h"

#include <QBrush>
#include <QColor>

void PreviewModel::setPlan(ImportPlan plan)
{
    beginResetModel();
    plan_ = std::move(plan);
    contactRow_ = -1;
    contact_ = {};
    ticks_.clear();
    for (const PlannedCard& card : plan_.cards)
        ticks_ << (card.fate == CardFate::Add);
    thumbnails_.assign(size_t(plan_.cards.size()), std::nullopt);
    endResetModel();
    emit ticksChanged();
}

ImportPlan PreviewModel::chosenPlan() const
{
    return ChooseCards(plan_, ticks_);
}

int PreviewModel::tickedCount() const
{
    return int(ticks_.count(true));
}

void PreviewModel::tickAll(bool ticked)
{
    for (qsizetype row = 0; row < ticks_.size(); ++row)
        ticks_[row] = ticked && plan_.cards[row].fate != CardFate::Unreadable;
    if (!ticks_.isEmpty())
        emit dataChanged(index(0, TickColumn), index(rowCount() - 1, TickColumn), {Qt::CheckStateRole});
    emit ticksChanged();
}

void PreviewModel::toggleTick(int row)
{
    if (row >= 0 && row < rowCount())
        setData(index(row, TickColumn), ticks_[row] ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

QString PreviewModel::markOf(const PlannedCard& card, const FittedContact& contact)
{
    if (card.fate != CardFate::Add)
        return card.why;
    QStringList marks;
    if (!card.intoNote.isEmpty())
        marks << QStringLiteral("记入备注：%1").arg(card.intoNote.join(u'、'));
    return (marks + contact.notes).join(QStringLiteral("；"));
}

const FittedContact& PreviewModel::contactOf(int row) const
{
    if (row != contactRow_) {
        contactRow_ = row;
        try {
            contact_ = plan_.contacts[row];
        } catch (const std::exception&) {
            // the spool file failed: the row shows empty, and the write that reads it again says why
            contact_ = {};
        }
    }
    return contact_;
}

int PreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(plan_.cards.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : MarkColumn + 1;
}

QPixmap PreviewModel::thumbnail(int row) const
{
    std::optional<QPixmap>& cached = thumbnails_[size_t(row)];
    if (!cached) {
        cached = QPixmap();
        const FittedPhoto photo = contactOf(row).photo;
        if (photo) {
            try {
                cached = QPixmap::fromImage(DecodeJpegToFit(photo.bytes(), QSize(ThumbnailSize, ThumbnailSize)));
            } catch (const std::exception&) {
                // a photo that does not decode shows as none; the import stores its bytes as they are
            }
        }
    }
    return *cached;
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const PlannedCard& card = plan_.cards[index.row()];
    const int column = index.column();
    if (column == TickColumn && role == Qt::CheckStateRole)
        return ticks_[index.row()] ? Qt::Checked : Qt::Unchecked;
    if (column == PhotoColumn && role == Qt::DecorationRole)
        return thumbnail(index.row());
    if (column == PhotoColumn && role == Qt::DisplayRole && contactOf(index.row()).photo)
        return thumbnail(index.row()).isNull() ? QStringLiteral("有") : QVariant();
    if (column >= FirstTextColumn && column < MarkColumn && (role == Qt::DisplayRole || role == Qt::ToolTipRole))
        return contactOf(index.row()).texts[size_t(column - FirstTextColumn)];
    if (column == MarkColumn && (role == Qt::DisplayRole || role == Qt::ToolTipRole))
        return markOf(card, contactOf(index.row()));
    if (role == Qt::BackgroundRole) {
        switch (card.fate) {
        case CardFate::Unreadable: return QBrush(QColor(0xf8, 0xd7, 0xd7));
        case CardFate::InBook:
        case CardFate::EarlierInImport: return QBrush(QColor(0xe4, 0xe4, 0xe4));
        case CardFate::Add:
            if (card.noted || !card.intoNote.isEmpty())
                return QBrush(QColor(0xff, 0xf4, 0xc8));
            break;
        }
    }
    return {};
}

bool PreviewModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != TickColumn || role != Qt::CheckStateRole
        || plan_.cards[index.row()].fate == CardFate::Unreadable)
        return false;
    ticks_[index.row()] = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    emit ticksChanged();
    return true;
}

Qt::ItemFlags PreviewModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == TickColumn && plan_.cards[index.row()].fate != CardFate::Unreadable)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section == TickColumn)
        return QStringLiteral("导入");
    if (section == PhotoColumn)
        return QStringLiteral("照片");
    if (section == MarkColumn)
        return QStringLiteral("说明");
    return ContactTextColumns().value(section - FirstTextColumn);
}
