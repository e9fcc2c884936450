#include "LoginButtonPictures.h"

#include <QBitmap>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {
constexpr int Side = 32;

// Draws on a 24-bit canvas. As with the bitmaps of such buttons, the
// background colour counts as transparent, so the button face shows through.
QIcon Picture(const std::function<void(QPainter&)>& draw)
{
    const QColor background(240, 240, 240);
    QImage canvas(Side, Side, QImage::Format_RGB888);
    canvas.fill(background);
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    QPixmap picture = QPixmap::fromImage(canvas);
    picture.setMask(picture.createMaskFromColor(background));
    return QIcon(picture);
}
}  // namespace

QIcon LoginPicture()
{
    static const QIcon icon = Picture([](QPainter& p) {
        p.setPen(QPen(QColor(120, 80, 0), 2));
        p.setBrush(QColor(230, 180, 40));
        p.drawEllipse(QRectF(3, 9, 13, 13));  // the bow
        p.setBrush(QColor(240, 240, 240));
        p.drawEllipse(QRectF(7, 13, 5, 5));
        p.setBrush(QColor(230, 180, 40));
        p.drawRect(QRectF(16, 14, 13, 3));  // the shank
        p.drawRect(QRectF(23, 17, 3, 5));   // the bit
        p.drawRect(QRectF(27, 17, 2, 4));
    });
    return icon;
}

QIcon ChangePasswordPicture()
{
    static const QIcon icon = Picture([](QPainter& p) {
        p.setPen(QPen(QColor(90, 90, 100), 3));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(9, 3, 14, 16), 0, 180 * 16);  // the shackle
        p.drawLine(QPointF(9, 11), QPointF(9, 15));
        p.drawLine(QPointF(23, 11), QPointF(23, 15));
        p.setPen(QPen(QColor(120, 80, 0), 1.5));
        p.setBrush(QColor(220, 170, 30));
        p.drawRoundedRect(QRectF(5, 14, 22, 15), 2, 2);  // the body
        p.setBrush(QColor(60, 40, 0));
        p.drawEllipse(QRectF(14, 18, 4, 4));  // the keyhole
        p.drawRect(QRectF(15, 21, 2, 5));
    });
    return icon;
}

QIcon SavePicture()
{
    static const QIcon icon = Picture([](QPainter& p) {
        QPainterPath body;
        body.moveTo(3, 3);
        body.lineTo(25, 3);
        body.lineTo(29, 7);
        body.lineTo(29, 29);
        body.lineTo(3, 29);
        body.closeSubpath();
        p.setPen(QPen(QColor(20, 40, 90), 1.5));
        p.setBrush(QColor(40, 80, 170));
        p.drawPath(body);
        p.setBrush(QColor(250, 250, 250));
        p.drawRect(QRectF(7, 16, 18, 13));  // the label
        p.setBrush(QColor(190, 190, 200));
        p.drawRect(QRectF(9, 3, 13, 9));  // the shutter
        p.setBrush(QColor(40, 80, 170));
        p.drawRect(QRectF(17, 5, 3, 5));
    });
    return icon;
}
