#include "ColumnFitting.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>

#include <algorithm>
#include <numeric>

namespace {

// Fits the columns again when the view's viewport changes size.
class FitOnResize : public QObject {
public:
    FitOnResize(QTableView* view, const ColumnFit& fit) : QObject(view), view_(view), fit_(fit) {}
    void fit() { FitColumnsToContent(view_, fit_); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            fit();
        return QObject::eventFilter(watched, event);
    }

private:
    QTableView* view_;
    ColumnFit fit_;
};

// The widths as wanted when they fit the room; else the widest cut to the
// common width that makes them fit, raised while the columns still fit.
QList<int> cutToFit(QList<int> widths, int room)
{
    room = std::max(0, room);
    if (std::accumulate(widths.begin(), widths.end(), 0) <= room)
        return widths;
    QList<int> sorted = widths;
    std::sort(sorted.begin(), sorted.end());
    int left = room;
    int cut = 0;
    for (qsizetype i = 0; i < sorted.size(); ++i) {
        const int share = left / int(sorted.size() - i);
        if (sorted[i] > share) {
            cut = share;
            break;
        }
        left -= sorted[i];
    }
    for (int& width : widths)
        width = std::min(width, cut);
    return widths;
}

}  // namespace

QList<int> FitColumnWidths(const QList<int>& wanted, int room, const ColumnFit& fit)
{
    QList<int> widths = wanted;
    if (widths.isEmpty())
        return widths;
    widths.removeLast();
    const int forData = std::max(0, room - fit.lastLeast);
    if (fit.yielding >= 0 && fit.yielding < widths.size()) {
        // The others first, with the yielding column at its least; it then takes what they leave.
        const int want = widths.takeAt(fit.yielding);
        const int least = std::min(want, fit.yieldingLeast);
        widths = cutToFit(widths, forData - least);
        const int left = forData - std::accumulate(widths.begin(), widths.end(), 0);
        widths.insert(fit.yielding, std::clamp(left, least, want));
    } else {
        widths = cutToFit(widths, forData);
    }
    const int used = std::accumulate(widths.begin(), widths.end(), 0);
    widths << std::max(fit.lastLeast, room - used);
    return widths;
}

void FitColumnsToContent(QTableView* view, const ColumnFit& fit)
{
    QHeaderView* header = view->horizontalHeader();
    // QTableView keeps its own override protected; the item view's is public, and virtual.
    const QAbstractItemView* items = view;
    QList<int> wanted;
    for (int column = 0; column < header->count(); ++column) {
        const int content = std::max(items->sizeHintForColumn(column), header->sectionSizeHint(column));
        wanted << (fit.widest > 0 ? std::min(fit.widest, content) : content);
    }
    const QList<int> widths = FitColumnWidths(wanted, view->viewport()->width(), fit);
    for (int column = 0; column < int(widths.size()); ++column)
        header->resizeSection(column, widths[column]);
}

void KeepColumnsFitted(QTableView* view, const ColumnFit& fit)
{
    auto* fitter = new FitOnResize(view, fit);
    view->viewport()->installEventFilter(fitter);
    QObject::connect(view->model(), &QAbstractItemModel::modelReset, fitter, &FitOnResize::fit);
    fitter->fit();
}
