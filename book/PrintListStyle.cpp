#include "PrintListStyle.h"

#include <QFontMetricsF>
#include <QPainter>

#include <limits>

namespace {
constexpr qreal ColumnGapMm = 8;
constexpr qreal EntryGapMm = 2.5;
constexpr qreal IndentMm = 4;  // a wrapped value's further lines

bool startsLetter(const std::vector<PrintedContact>& contacts, size_t i)
{
    return i == 0 || contacts[i].heading != contacts[i - 1].heading;
}

class ListLayout : public PrintLayout {
public:
    ListLayout(const QPaintDevice& device, const QRectF& body, const std::vector<PrintedContact>& contacts,
               const PrintChoice& choice)
        : style_(device, body, choice), body_(body), contacts_(contacts)
    {
    }

    // The measuring pass: every entry's height and the first entry of every page.
    bool measure(const PrintProgress& progress)
    {
        heights_.reserve(contacts_.size());
        ListPaging paging(body_.height(), style_.headingHeight());
        for (size_t i = 0; i < contacts_.size(); ++i) {
            heights_.push_back(style_.entryHeight(contacts_[i]));
            const ListPlace place = paging.place(heights_.back(), startsLetter(contacts_, i));
            if (size_t(place.page) == pageStarts_.size())
                pageStarts_.push_back(i);
            if (progress && i % 256 == 0 && !progress(int(i), int(contacts_.size())))
                return false;
        }
        if (pageStarts_.empty())
            pageStarts_.push_back(0);
        return true;
    }

    int pageCount() const override { return int(pageStarts_.size()); }

    int drawPage(QPainter& painter, int page) const override
    {
        const size_t first = pageStarts_.at(size_t(page));
        const size_t end = size_t(page) + 1 < pageStarts_.size() ? pageStarts_[size_t(page) + 1] : contacts_.size();
        ListPaging paging(body_.height(), style_.headingHeight());
        const qreal columnStep = (body_.width() + DeviceMm(*painter.device(), ColumnGapMm)) / 2;
        for (size_t i = first; i < end; ++i) {
            const bool heading = startsLetter(contacts_, i);
            const ListPlace place = paging.place(heights_[i], heading);
            QPointF at(body_.left() + place.column * columnStep, body_.top() + place.y);
            if (heading) {
                style_.drawHeading(painter, at, contacts_[i].heading);
                at.ry() += style_.headingHeight();
            }
            style_.drawEntry(painter, at, contacts_[i]);
        }
        return int(end - first);
    }

private:
    ListStyle style_;
    QRectF body_;
    const std::vector<PrintedContact>& contacts_;
    std::vector<qreal> heights_;
    std::vector<size_t> pageStarts_;
};

}  // namespace

ListStyle::ListStyle(const QPaintDevice& device, const QRectF& body, const PrintChoice& choice)
    : device_(device), choice_(choice), columnWidth_((body.width() - DeviceMm(device, ColumnGapMm)) / 2),
      indent_(DeviceMm(device, IndentMm)), nameHeight_(QFontMetricsF(fonts_.name, &device).height()),
      headingHeight_(QFontMetricsF(fonts_.heading, &device).height() + DeviceMm(device, 2)),
      spacing_(DeviceMm(device, EntryGapMm))
{
}

QList<WrappedLine> ListStyle::lines(const PrintedContact& contact) const
{
    QList<WrappedLine> lines;
    for (const PrintedLine& line : contact.lines)
        if (choice_.shows(line.column))
            lines.append(WrappedLine(line.label, line.value, fonts_.text, device_));
    return lines;
}

qreal ListStyle::entryHeight(const PrintedContact& contact) const
{
    qreal height = nameHeight_ + spacing_;
    for (const WrappedLine& line : lines(contact))
        height += line.height(columnWidth_, indent_);
    return height;
}

void ListStyle::drawEntry(QPainter& painter, QPointF at, const PrintedContact& contact) const
{
    const QString name = contact.name.isEmpty() ? QStringLiteral("（无姓名）") : contact.name;
    WrappedLine(QString(), name, fonts_.name, device_).draw(painter, at, columnWidth_, 0, nameHeight_);
    if (choice_.shows(PrintColumn::Category) && !contact.category.isEmpty()) {
        const qreal nameWidth = QFontMetricsF(fonts_.name, &device_).horizontalAdvance(name + u' ');
        const qreal shift =
            QFontMetricsF(fonts_.name, &device_).ascent() - QFontMetricsF(fonts_.small, &device_).ascent();
        if (nameWidth < columnWidth_)
            DrawTextLine(painter, QPointF(at.x() + nameWidth, at.y() + shift), columnWidth_ - nameWidth,
                         contact.category, fonts_.small, QColor(96, 96, 96));
    }
    at.ry() += nameHeight_;
    for (const WrappedLine& line : lines(contact))
        at.ry() += line.draw(painter, at, columnWidth_, indent_, std::numeric_limits<qreal>::max());
}

void ListStyle::drawHeading(QPainter& painter, QPointF at, QChar letter) const
{
    const qreal height = DrawTextLine(painter, at, columnWidth_, QString(letter), fonts_.heading);
    painter.setPen(QPen(QColor(160, 160, 160), DeviceMm(device_, 0.2)));
    const qreal y = at.y() + height + DeviceMm(device_, 0.5);
    painter.drawLine(QPointF(at.x(), y), QPointF(at.x() + columnWidth_, y));
}

ListPlace ListPaging::place(qreal height, bool withHeading)
{
    const qreal needed = height + (withHeading ? headingHeight_ : 0);
    // A column that holds something takes the entry only when it fits; an empty one always
    // takes it, so an entry taller than a column still prints (cut at the foot) and the walk ends.
    if (at_.y > 0 && at_.y + needed > columnHeight_) {
        at_.y = 0;
        if (++at_.column == 2) {
            at_.column = 0;
            ++at_.page;
        }
    }
    const ListPlace placed = at_;
    at_.y += needed;
    return placed;
}

std::unique_ptr<PrintLayout> LayOutList(const QPaintDevice& device, const QRectF& body,
                                        const std::vector<PrintedContact>& contacts, const PrintChoice& choice,
                                        const PrintProgress& progress)
{
    auto layout = std::make_unique<ListLayout>(device, body, contacts, choice);
    if (!layout->measure(progress))
        return nullptr;
    return layout;
}
