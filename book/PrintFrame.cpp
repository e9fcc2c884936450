#include "PrintFrame.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

namespace {
constexpr qreal MarginMm = 15;  // inside what printers leave unprinted
constexpr qreal GapMm = 4;      // between the title line or the foot and the body
}  // namespace

QString PageNumberText(int page, int pages)
{
    return QStringLiteral("第 %1 页 共 %2 页").arg(page + 1).arg(pages);
}

PageFrame::PageFrame(const QPaintDevice& device, QString title, QDate date, int contacts)
    : title_(std::move(title)), date_(date.toString(QStringLiteral("yyyy年M月d日"))),
      count_(QStringLiteral("共 %1 个联系人").arg(contacts))
{
    const qreal margin = DeviceMm(device, MarginMm);
    const qreal gap = DeviceMm(device, GapMm);
    paper_ = QRectF(0, 0, device.width(), device.height());
    const QRectF inside = paper_.adjusted(margin, margin, -margin, -margin);
    const qreal headHeight = QFontMetricsF(fonts_.title, &device).height();
    const qreal footHeight = QFontMetricsF(fonts_.small, &device).height();
    head_ = QRectF(inside.left(), inside.top(), inside.width(), headHeight);
    foot_ = QRectF(inside.left(), inside.bottom() - footHeight, inside.width(), footHeight);
    body_ = QRectF(inside.left(), head_.bottom() + gap, inside.width(), foot_.top() - gap - head_.bottom() - gap);
}

void PageFrame::draw(QPainter& painter, int page, int pages) const
{
    DrawTextLine(painter, head_.topLeft(), head_.width() / 2, title_, fonts_.title);
    const QString right = date_ + QStringLiteral("　") + count_;
    const QFontMetricsF textMetrics(fonts_.text, painter.device());
    // The date and count sit on the title's baseline, at the right.
    const qreal baselineShift = QFontMetricsF(fonts_.title, painter.device()).ascent() - textMetrics.ascent();
    DrawTextLine(painter, QPointF(head_.left() + head_.width() / 2, head_.top() + baselineShift), head_.width() / 2,
                 right, fonts_.text, Qt::black, Qt::AlignRight);
    painter.setPen(QPen(Qt::black, DeviceMm(*painter.device(), 0.3)));
    const qreal rule = head_.bottom() + DeviceMm(*painter.device(), 1);
    painter.drawLine(QPointF(head_.left(), rule), QPointF(head_.right(), rule));
    DrawTextLine(painter, foot_.topLeft(), foot_.width(), PageNumberText(page, pages), fonts_.small, Qt::black,
                 Qt::AlignHCenter);
}
