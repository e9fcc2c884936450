#pragma once
// The contact grid: a read-only table over the query, one selected row that is
// always the query's current record, a narrow indicator column marking it.
//
// Mouse: a press on a data row (or its indicator) makes that row the current
// record; releasing the left button over a data cell is a CellClick, over a
// column title a TitleClick. Neither comes from the keyboard, from other
// buttons, or after the mouse resized a column. The keyboard moves the current
// record and nothing else.

#include <QHash>
#include <QTableView>

class TADOQuery;
class TDBGridModel;
struct TDataSource;

class TDBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TDBGrid(QWidget* parent = nullptr);

    // The data source shown; the grid's model holds it.
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* source);
    TDBGridModel* GridModel() const { return model_; }

    static constexpr int IndicatorWidth = 14;

signals:
    void CellClick(int column);
    void TitleClick(int column);
    // The rows on screen have been drawn.
    void Painted();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    TADOQuery* DataSet() const;
    void FollowCurrentRow(int row);
    void FitColumnWidths();
    void MoveRecordTo(int row);

    TDBGridModel* model_ = nullptr;
    bool following_ = false;  // the view is being set from the query
    bool leftPressedOnCell_ = false;
    bool fitting_ = false;  // widths are being set by the grid itself
    QHash<QString, int> userWidths_;
};
