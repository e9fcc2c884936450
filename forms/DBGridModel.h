#pragma once
// The grid's table model: reads the query's current view through the data
// source and follows its signals. While the query holds its controls
// (DisableControls) the model does not follow; it catches up at the next signal
// after they are released.
//
// Nothing is done per record at a reset: counts and column titles only; cell
// texts are asked from the query when a row is drawn.

#include <QAbstractTableModel>
#include <QStringList>

class TADOQuery;
struct TDataSource;

class TDBGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TDBGridModel(QObject* parent = nullptr);

    // The data source read, and its query; none once the query is gone.
    TDataSource* DataSource() const { return source_; }
    void SetDataSource(TDataSource* source);
    TADOQuery* DataSet() const;

    // The view row of the query's current record; -1 when there is none.
    int CurrentRow() const { return currentRow_; }

    // The mark of the current record in the indicator column.
    static QString IndicatorMark();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Rereads the whole view (counts, titles, current row).
    void Refetch();

signals:
    // The current record moved to this view row (-1: none); the view follows.
    void CurrentRowChanged(int row);

private:
    bool Holding();
    void OnDataSetChanged();
    void OnRecordChanged(int viewRow);
    void OnCurrentChanged();
    int QueryCurrentRow() const;

    TDataSource* source_ = nullptr;
    int rows_ = 0;
    QStringList titles_;
    int currentRow_ = -1;
    bool stale_ = false;  // a change came while the controls were held
};
