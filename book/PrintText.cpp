#include "PrintText.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <limits>

namespace {

const QColor LabelColor(96, 96, 96);

QFont printFont(qreal points, bool bold)
{
    QFont font(QStringLiteral("WenQuanYi Zen Hei"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    // Printed metrics, not the screen's hinted ones, so a page measures alike on every device.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Lays the text out in lines of width (the first) and width - indent (the rest), up to maxHeight.
qreal layOut(QTextLayout& layout, qreal width, qreal indent, qreal maxHeight)
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    qreal y = 0;
    for (bool first = true;; first = false) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(std::max<qreal>(1, first ? width : width - indent));
        if (y > 0 && y + line.height() > maxHeight) {
            line.setNumColumns(0);  // no room for it: not drawn
            break;
        }
        line.setPosition(QPointF(first ? 0 : indent, y));
        y += line.height();
    }
    layout.endLayout();
    return y;
}

}  // namespace

PrintFonts::PrintFonts()
    : title(printFont(14, true)), heading(printFont(13, true)), name(printFont(10.5, true)), text(printFont(9, false)),
      small(printFont(8, false))
{
}

qreal DeviceMm(const QPaintDevice& device, qreal mm)
{
    return mm * device.logicalDpiY() / 25.4;
}

WrappedLine::WrappedLine(QString label, QString value, const QFont& font, const QPaintDevice& device)
    : label_(std::move(label)), text_(label_.isEmpty() ? value : label_ + u' ' + value), font_(font), device_(&device)
{
}

bool WrappedLine::fitsOneLine(qreal width) const
{
    // Most values are short: measured in one call, without laying the text out.
    return !text_.contains(u'\n') && QFontMetricsF(font_, device_).horizontalAdvance(text_) <= width;
}

qreal WrappedLine::height(qreal width, qreal indent) const
{
    if (fitsOneLine(width))
        return QFontMetricsF(font_, device_).height();
    QTextLayout layout(text_, font_, const_cast<QPaintDevice*>(device_));
    return layOut(layout, width, indent, std::numeric_limits<qreal>::max());
}

qreal WrappedLine::draw(QPainter& painter, QPointF at, qreal width, qreal indent, qreal maxHeight) const
{
    if (fitsOneLine(width)) {
        const QFontMetricsF metrics(font_, device_);
        const QPointF baseline(at.x(), at.y() + metrics.ascent());
        painter.setFont(font_);
        painter.setPen(LabelColor);
        painter.drawText(baseline, label_);
        const qreal valueX = label_.isEmpty() ? 0 : metrics.horizontalAdvance(label_ + u' ');
        painter.setPen(Qt::black);
        painter.drawText(baseline + QPointF(valueX, 0), text_.mid(label_.isEmpty() ? 0 : label_.size() + 1));
        return metrics.height();
    }
    QTextLayout layout(text_, font_, const_cast<QPaintDevice*>(device_));
    QTextLayout::FormatRange label;
    label.start = 0;
    label.length = int(label_.size());
    label.format.setForeground(LabelColor);
    layout.setFormats({label});
    const qreal height = layOut(layout, width, indent, maxHeight);
    painter.setPen(Qt::black);
    layout.draw(&painter, at);
    return height;
}

qreal DrawTextLine(QPainter& painter, QPointF at, qreal width, const QString& text, const QFont& font,
                   const QColor& color, Qt::Alignment align)
{
    const QFontMetricsF metrics(font, painter.device());
    const QString shown = metrics.elidedText(text, Qt::ElideRight, width);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QRectF(at.x(), at.y(), width, metrics.height()), int(align | Qt::AlignTop), shown);
    return metrics.height();
}
