#include "DBGrid.h"

#include "forms/DBGridModel.h"
#include "platform/HandlerGuard.h"
#include "store/ADODB.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QTimer>

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent), model_(new TDBGridModel(this))
{
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setTabKeyNavigation(true);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setAlternatingRowColors(false);

    // Every row has the same height and the indicator is narrow and fixed,
    // so nothing has to be measured per record, however many there are.
    const int rowHeight = fontMetrics().height() + 4;
    QHeaderView* indicator = verticalHeader();
    indicator->setSectionResizeMode(QHeaderView::Fixed);
    indicator->setMinimumSectionSize(rowHeight);
    indicator->setDefaultSectionSize(rowHeight);
    indicator->setFixedWidth(IndicatorWidth);
    indicator->setDefaultAlignment(Qt::AlignCenter);

    QHeaderView* titles = horizontalHeader();
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setSectionsClickable(true);
    titles->setSectionsMovable(false);
    titles->setHighlightSections(false);
    titles->setStretchLastSection(false);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The header reports a click only when the press and the release were on the
    // same title and the mouse did not resize a column in between.
    connect(titles, &QHeaderView::sectionClicked, this, &TDBGrid::TitleClick);
    // A width the user set stays with its column when the view is rebuilt.
    connect(titles, &QHeaderView::sectionResized, this, [this](int column, int, int newSize) {
        if (!fitting_)
            userWidths_[model_->headerData(column, Qt::Horizontal).toString()] = newSize;
    });

    connect(model_, &TDBGridModel::CurrentRowChanged, this, &TDBGrid::FollowCurrentRow);
    connect(model_, &QAbstractItemModel::modelReset, this, &TDBGrid::FitColumnWidths);
}

TDataSource* TDBGrid::DataSource() const
{
    return model_->DataSource();
}

void TDBGrid::SetDataSource(TDataSource* source)
{
    model_->SetDataSource(source);
}

TADOQuery* TDBGrid::DataSet() const
{
    return model_->DataSet();
}

void TDBGrid::FitColumnWidths()
{
    // Widths from the column's declared width, never from the records.
    TADOQuery* query = DataSet();
    if (!query || !query->Active())
        return;
    QScopedValueRollback<bool> guard(fitting_, true);
    const QFontMetrics metrics = fontMetrics();
    const int charWidth = metrics.horizontalAdvance(QLatin1Char('0'));
    for (int i = 0; i < query->FieldCount() && i < model_->columnCount(); ++i) {
        const TField* field = query->Fields(i);
        if (const auto kept = userWidths_.constFind(field->FieldName); kept != userWidths_.constEnd()) {
            setColumnWidth(i, *kept);
            continue;
        }
        const QString sample = field->IsBlob() ? QStringLiteral("(BLOB)") : QString(qMin(field->Size, 24), u'0');
        const int width =
            qMax(metrics.horizontalAdvance(sample), metrics.horizontalAdvance(field->FieldName)) + 2 * charWidth;
        setColumnWidth(i, width);
    }
}

void TDBGrid::FollowCurrentRow(int row)
{
    QScopedValueRollback<bool> guard(following_, true);
    if (row < 0 || row >= model_->rowCount()) {
        selectionModel()->clear();
        return;
    }
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    const QModelIndex target = model_->index(row, column);
    if (currentIndex() != target)
        setCurrentIndex(target);
    else
        selectionModel()->select(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(target);
}

void TDBGrid::MoveRecordTo(int row)
{
    TADOQuery* query = DataSet();
    if (!query || !query->Active() || query->RecNo() == row + 1)
        return;
    Guarded([&] { query->SetRecNo(row + 1); });
    if (model_->CurrentRow() != row) {
        // The query refused to move: show its current record again, once this change is done.
        QTimer::singleShot(0, this, [this] { FollowCurrentRow(model_->CurrentRow()); });
    }
}

void TDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (!following_ && current.isValid())
        MoveRecordTo(current.row());
}

void TDBGrid::mousePressEvent(QMouseEvent* event)
{
    leftPressedOnCell_ = event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid();
    QTableView::mousePressEvent(event);
}

void TDBGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    leftPressedOnCell_ = event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid();
    QTableView::mouseDoubleClickEvent(event);
}

void TDBGrid::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    const bool wasLeftPress = leftPressedOnCell_;
    leftPressedOnCell_ = false;
    if (!wasLeftPress || event->button() != Qt::LeftButton)
        return;
    const QModelIndex cell = indexAt(event->position().toPoint());
    if (cell.isValid())
        emit CellClick(cell.column());
}

void TDBGrid::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    emit Painted();
}
