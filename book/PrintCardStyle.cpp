#include "PrintCardStyle.h"

#include "photo/JpegCodec.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace {
constexpr qreal MarkMm = 4;         // a cut mark's length
constexpr qreal MarkGapMm = 1.5;    // between a mark and the cards
constexpr qreal PaddingMm = 4;      // inside a card
constexpr qreal PhotoWidthMm = 22;  // the photo's box at most
constexpr qreal PhotoHeightMm = 30;
constexpr qreal IndentMm = 3;

QImage decoded(const QByteArray& jpeg)
{
    if (jpeg.isEmpty())
        return {};
    try {
        return DecodeJpeg(jpeg);
    } catch (const std::exception&) {
        return {};  // a photo that cannot be read prints as none; the card still prints
    }
}

class CardLayout : public PrintLayout {
public:
    CardLayout(const QPaintDevice& device, const QRectF& body, const std::vector<PrintedContact>& contacts,
               const PrintChoice& choice, PhotoSource photos)
        : style_(device, body, choice), contacts_(contacts),
          photos_(choice.shows(PrintColumn::Photo) ? photos : nullptr)
    {
    }

    int pageCount() const override
    {
        return std::max(1, int((contacts_.size() + CardStyle::PerPage - 1) / CardStyle::PerPage));
    }

    int drawPage(QPainter& painter, int page) const override
    {
        const size_t first = size_t(page) * CardStyle::PerPage;
        const size_t end = std::min(contacts_.size(), first + CardStyle::PerPage);
        // Only this page's photos are read, so a large book's photos are never all in memory.
        QList<qint64> rowids;
        for (size_t i = first; i < end; ++i)
            rowids << contacts_[i].rowid;
        const QHash<qint64, QByteArray> photos =
            photos_ && !rowids.isEmpty() ? photos_(rowids) : QHash<qint64, QByteArray>();
        for (size_t i = first; i < end; ++i)
            style_.drawCard(painter, int(i - first), contacts_[i], decoded(photos.value(contacts_[i].rowid)));
        if (end > first)
            style_.drawCutMarks(painter);
        return int(end - first);
    }

private:
    CardStyle style_;
    const std::vector<PrintedContact>& contacts_;
    PhotoSource photos_;
};

}  // namespace

QSizeF PrintedPhotoSize(QSize pixels, QSizeF box, qreal devicePerInch)
{
    if (pixels.isEmpty())
        return {};
    const qreal perPixel = devicePerInch / PhotoDpi;
    const qreal scale = std::min({perPixel, box.width() / pixels.width(), box.height() / pixels.height()});
    return QSizeF(pixels.width() * scale, pixels.height() * scale);
}

CardStyle::CardStyle(const QPaintDevice& device, const QRectF& body, const PrintChoice& choice)
    : device_(device), choice_(choice), padding_(DeviceMm(device, PaddingMm))
{
    // The marks stand outside the cards, so the cards leave them room on every side.
    const qreal room = DeviceMm(device, MarkMm + MarkGapMm);
    grid_ = body.adjusted(room, room, -room, -room);
}

QRectF CardStyle::card(int slot) const
{
    const qreal width = grid_.width() / Across;
    const qreal height = grid_.height() / Down;
    return QRectF(grid_.left() + (slot % Across) * width, grid_.top() + (slot / Across) * height, width, height);
}

QRectF CardStyle::photoRect(const QRectF& card, QSize pixels) const
{
    const QSizeF box(DeviceMm(device_, PhotoWidthMm), DeviceMm(device_, PhotoHeightMm));
    const QSizeF size = PrintedPhotoSize(pixels, box, device_.logicalDpiY());
    return QRectF(card.right() - padding_ - size.width(), card.top() + padding_, size.width(), size.height());
}

void CardStyle::drawCard(QPainter& painter, int slot, const PrintedContact& contact, const QImage& photo) const
{
    const QRectF inside = card(slot).adjusted(padding_, padding_, -padding_, -padding_);
    qreal textWidth = inside.width();
    if (choice_.shows(PrintColumn::Photo) && !photo.isNull()) {
        const QRectF shown = photoRect(card(slot), photo.size());
        painter.drawImage(shown, photo);
        textWidth -= DeviceMm(device_, PhotoWidthMm) + padding_ / 2;
    }
    QPointF at = inside.topLeft();
    const QString name = contact.name.isEmpty() ? QStringLiteral("（无姓名）") : contact.name;
    at.ry() += WrappedLine(QString(), name, fonts_.heading, device_)
                   .draw(painter, at, textWidth, 0, QFontMetricsF(fonts_.heading, &device_).height() * 2);
    if (choice_.shows(PrintColumn::Category) && !contact.category.isEmpty())
        at.ry() += DrawTextLine(painter, at, textWidth, contact.category, fonts_.small, QColor(96, 96, 96));
    at.ry() += padding_ / 2;
    const qreal indent = DeviceMm(device_, IndentMm);
    const qreal ellipsis = QFontMetricsF(fonts_.text, &device_).height();
    QList<const PrintedLine*> shown;
    for (const PrintedLine& line : contact.lines)
        if (choice_.shows(line.column))
            shown << &line;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const WrappedLine line(shown[i]->label, shown[i]->value, fonts_.text, device_);
        const qreal needed = line.height(textWidth, indent);
        const bool last = i + 1 == shown.size();
        if (at.y() + needed > inside.bottom() - (last ? 0 : ellipsis)) {
            DrawTextLine(painter, at, textWidth, QStringLiteral("……"), fonts_.text);
            break;
        }
        at.ry() += line.draw(painter, at, textWidth, indent, needed);
    }
}

void CardStyle::drawCutMarks(QPainter& painter) const
{
    const qreal gap = DeviceMm(device_, MarkGapMm);
    const qreal length = DeviceMm(device_, MarkMm);
    painter.setPen(QPen(Qt::black, DeviceMm(device_, 0.15)));
    for (int c = 0; c <= Across; ++c) {
        const qreal x = grid_.left() + c * grid_.width() / Across;
        painter.drawLine(QPointF(x, grid_.top() - gap), QPointF(x, grid_.top() - gap - length));
        painter.drawLine(QPointF(x, grid_.bottom() + gap), QPointF(x, grid_.bottom() + gap + length));
    }
    for (int r = 0; r <= Down; ++r) {
        const qreal y = grid_.top() + r * grid_.height() / Down;
        painter.drawLine(QPointF(grid_.left() - gap, y), QPointF(grid_.left() - gap - length, y));
        painter.drawLine(QPointF(grid_.right() + gap, y), QPointF(grid_.right() + gap + length, y));
    }
}

std::unique_ptr<PrintLayout> LayOutCards(const QPaintDevice& device, const QRectF& body,
                                         const std::vector<PrintedContact>& contacts, const PrintChoice& choice,
                                         const PhotoSource& photos)
{
    return std::make_unique<CardLayout>(device, body, contacts, choice, photos);
}
