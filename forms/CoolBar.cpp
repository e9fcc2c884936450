#include "CoolBar.h"

#include <QPainter>

TCoolBar::TCoolBar(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::NoFrame);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFixedHeight(DesignHeight);
}

void TCoolBar::SetBandChild(QWidget* child)
{
    child_ = child;
    if (child_) {
        child_->setParent(this);
        PlaceChild();
    }
}

void TCoolBar::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    PlaceChild();
}

void TCoolBar::PlaceChild()
{
    if (!child_)
        return;
    const int childHeight = height() - 2;  // the band is 63 high inside a 65 high bar
    child_->setGeometry(GripWidth, 1, qMax(0, width() - GripWidth - RightMargin), childHeight);
}

void TCoolBar::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QPalette& pal = palette();
    // The band's raised edge.
    const QRect band = rect().adjusted(0, 0, -1, -1);
    painter.setPen(pal.color(QPalette::Light));
    painter.drawLine(band.topLeft(), band.topRight());
    painter.drawLine(band.topLeft(), band.bottomLeft());
    painter.setPen(pal.color(QPalette::Dark));
    painter.drawLine(band.bottomLeft(), band.bottomRight());
    painter.drawLine(band.topRight(), band.bottomRight());
    // The grip: two raised ridges.
    for (int x : {3, 6}) {
        painter.setPen(pal.color(QPalette::Light));
        painter.drawLine(x, 3, x, height() - 4);
        painter.setPen(pal.color(QPalette::Dark));
        painter.drawLine(x + 1, 3, x + 1, height() - 4);
    }
}
