#include "StatusBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {
constexpr int FixedPanelWidth = 100;
constexpr int DesignHeight = 27;
constexpr int PanelGap = 2;  // the bar draws its panels with a small gap between them
}  // namespace

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent), texts_(PanelCount)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFixedHeight(DesignHeight);
}

QString TStatusBar::PanelText(int panel) const
{
    return texts_.value(panel);
}

void TStatusBar::SetPanelText(int panel, const QString& text)
{
    if (panel < 0 || panel >= PanelCount || texts_[panel] == text)
        return;
    texts_[panel] = text;
    update(PanelRect(panel));
}

QRect TStatusBar::PanelRect(int panel) const
{
    const int left = panel * FixedPanelWidth;
    const int width = panel == PanelCount - 1 ? qMax(0, this->width() - left) : FixedPanelWidth;
    return QRect(left, 0, width, height());
}

QSize TStatusBar::sizeHint() const
{
    return QSize(FixedPanelWidth * PanelCount, DesignHeight);
}

void TStatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int i = 0; i < PanelCount; ++i) {
        QRect r = PanelRect(i).adjusted(0, PanelGap, -PanelGap, 0);
        if (r.width() <= 0)
            continue;
        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.rect = r;
        frame.lineWidth = 1;
        frame.state |= QStyle::State_Sunken;
        style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
        const QRect textRect = r.adjusted(3, 1, -2, -1);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.save();
        painter.setClipRect(textRect);
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, texts_[i]);
        painter.restore();
    }
}

void TStatusBar::mousePressEvent(QMouseEvent* event)
{
    leftPressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void TStatusBar::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click =
        leftPressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    leftPressed_ = false;
    event->accept();
    if (click)
        emit Click();
}
