#pragma once
// Text as a printed page holds it: the fonts of a print at the device's
// resolution, and values wrapped to a width, at word boundaries or, in a long
// number or an address without blanks, anywhere. Measuring and drawing lay
// the text out the same way, so a measured entry takes exactly its room.

#include <QColor>
#include <QFont>
#include <QString>

class QPainter;
class QPaintDevice;

// The fonts of a print: one CJK font that the PDF embeds (the install script
// installs it; names outside it, such as rare characters outside GBK, fall
// back to another installed CJK font).
struct PrintFonts {
    PrintFonts();
    QFont title, heading, name, text, small;
};

// Millimetres in the device's units.
qreal DeviceMm(const QPaintDevice& device, qreal mm);

// A label in grey, then its value, wrapped; lines after the first are indented.
class WrappedLine {
public:
    WrappedLine(QString label, QString value, const QFont& font, const QPaintDevice& device);
    // The height at this width (the label and value lines together).
    qreal height(qreal width, qreal indent) const;
    // Draws at the top left; at most maxHeight high (the lines that fit). Answers the height drawn.
    qreal draw(QPainter& painter, QPointF at, qreal width, qreal indent, qreal maxHeight) const;

private:
    bool fitsOneLine(qreal width) const;

    QString label_;
    QString text_;
    QFont font_;
    const QPaintDevice* device_;
};

// One line of plain text, elided at the right when wider than width; answers its height.
qreal DrawTextLine(QPainter& painter, QPointF at, qreal width, const QString& text, const QFont& font,
                   const QColor& color = Qt::black, Qt::Alignment align = Qt::AlignLeft);
