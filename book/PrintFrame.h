#pragma once
// What every printed page has around its contacts: the title line (the
// title, the date, how many contacts) with a rule under it at the top, and
// "第 N 页 共 M 页" at the foot; the room left between them is the body.

#include "book/PrintText.h"

#include <QDate>
#include <QRectF>
#include <QString>

class QPainter;
class QPaintDevice;

class PageFrame {
public:
    // The page is the device's whole paper, in its units.
    PageFrame(const QPaintDevice& device, QString title, QDate date, int contacts);

    QRectF body() const { return body_; }
    // page counts from 0.
    void draw(QPainter& painter, int page, int pages) const;

private:
    PrintFonts fonts_;
    QString title_;
    QString date_;
    QString count_;
    QRectF paper_;
    QRectF head_;
    QRectF foot_;
    QRectF body_;
};

// "第 3 页 共 12 页"
QString PageNumberText(int page, int pages);
