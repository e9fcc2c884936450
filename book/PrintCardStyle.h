#pragma once
// 名片, the cards: eight to a page, two across and four down, cut apart along
// the marks at the page's edges. A card holds the photo at its top right
// (never printed larger than its pixels allow), the name in bold, the 类别,
// then the values wrapped under their labels; what a card has no room for
// ends in "……".

#include "book/PrintLayout.h"
#include "book/PrintText.h"

#include <QImage>
#include <QRectF>

class CardStyle {
public:
    static constexpr int Across = 2;
    static constexpr int Down = 4;
    static constexpr int PerPage = Across * Down;

    CardStyle(const QPaintDevice& device, const QRectF& body, const PrintChoice& choice);

    // The card at this place of a page (0 .. PerPage-1), row by row.
    QRectF card(int slot) const;
    void drawCard(QPainter& painter, int slot, const PrintedContact& contact, const QImage& photo) const;
    // Short marks outside the cards along every line they are cut at.
    void drawCutMarks(QPainter& painter) const;

private:
    QRectF photoRect(const QRectF& card, QSize pixels) const;

    const QPaintDevice& device_;
    PrintFonts fonts_;
    PrintChoice choice_;
    QRectF grid_;
    qreal padding_;
};

// How large a photo of these pixels prints in a box: shrunk to fit, never enlarged
// beyond one pixel per 1/PhotoDpi inch (devicePerInch device units to the inch).
QSizeF PrintedPhotoSize(QSize pixels, QSizeF box, qreal devicePerInch);
constexpr qreal PhotoDpi = 150;

std::unique_ptr<PrintLayout> LayOutCards(const QPaintDevice& device, const QRectF& body,
                                         const std::vector<PrintedContact>& contacts, const PrintChoice& choice,
                                         const PhotoSource& photos);
