// Draws the photo box's start-up picture: a hand writing with a fountain pen on
// paper, toned sepia, 188 x 250 pixels. Writes a binary PPM for cjpeg.
// Build and run as photo/placeholder.md says; the output is deterministic.

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <cmath>
#include <cstdio>

namespace {

void drawPaper(QPainter& p, const QRectF& r)
{
    QLinearGradient paper(r.topLeft(), r.bottomRight());
    paper.setColorAt(0, QColor(236, 230, 214));
    paper.setColorAt(1, QColor(205, 196, 176));
    p.fillRect(r, paper);
    p.setPen(QPen(QColor(170, 170, 185, 90), 0.8));
    for (double y = 37; y < r.height(); y += 17)
        p.drawLine(QPointF(0, y), QPointF(r.width(), y - 6));
}

void drawWriting(QPainter& p, QRandomGenerator& rng)
{
    p.setPen(QPen(QColor(40, 35, 60), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (int line = 0; line < 8; ++line) {
        const double baseY = 34 + line * 17;
        const double end = line == 7 ? 96 : 160 + rng.bounded(20);
        QPainterPath path(QPointF(14, baseY - 14 * 6.0 / 188));
        for (double x = 14; x < end; x += 2.5) {
            const double y =
                baseY - x * 6.0 / 188 - 4 * std::fabs(std::sin(x * 0.55 + line)) - (rng.bounded(5) == 0 ? 4 : 0);
            path.lineTo(QPointF(x, y));
            if (rng.bounded(14) == 0) {
                x += 5;  // a gap between words
                path.moveTo(QPointF(x, baseY - x * 6.0 / 188));
            }
        }
        p.drawPath(path);
    }
}

void drawPenAndHand(QPainter& p)
{
    const QPointF nib(96, 148);  // where the last line of writing stops
    p.save();
    p.translate(nib);
    p.rotate(38);  // the pen leans back towards the lower right

    // Nib.
    QPainterPath nibPath;
    nibPath.moveTo(0, 0);
    nibPath.cubicTo(6, -5, 10, -8, 24, -7);
    nibPath.lineTo(24, 7);
    nibPath.cubicTo(10, 8, 6, 5, 0, 0);
    QLinearGradient metal(0, -7, 0, 7);
    metal.setColorAt(0, QColor(120, 110, 90));
    metal.setColorAt(0.45, QColor(235, 225, 190));
    metal.setColorAt(1, QColor(90, 80, 60));
    p.setPen(QPen(QColor(60, 50, 40), 0.8));
    p.setBrush(metal);
    p.drawPath(nibPath);
    p.drawLine(QPointF(3, 0), QPointF(16, 0));

    // Grip and barrel.
    QLinearGradient lacquer(0, -10, 0, 10);
    lacquer.setColorAt(0, QColor(25, 20, 18));
    lacquer.setColorAt(0.35, QColor(120, 95, 80));
    lacquer.setColorAt(1, QColor(15, 12, 10));
    p.setBrush(lacquer);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(23, -8, 40, 16), 5, 5);
    p.drawRoundedRect(QRectF(60, -10, 190, 20), 8, 8);
    p.setBrush(QColor(200, 180, 130));
    p.drawRect(QRectF(62, -10, 4, 20));  // the gold ring

    // Hand: thumb and fingers around the grip, the back of the hand beyond.
    QRadialGradient skin(QPointF(90, -20), 90);
    skin.setColorAt(0, QColor(235, 200, 170));
    skin.setColorAt(1, QColor(160, 115, 90));
    p.setBrush(skin);
    p.setPen(QPen(QColor(110, 75, 55), 1));
    p.drawEllipse(QRectF(35, 4, 40, 19));    // middle finger under the pen
    p.drawEllipse(QRectF(38, -24, 46, 20));  // index finger on top
    p.drawEllipse(QRectF(55, 8, 50, 24));    // thumb
    QPainterPath back;
    back.moveTo(70, -30);
    back.cubicTo(110, -50, 180, -40, 200, 10);
    back.cubicTo(180, 60, 120, 60, 80, 30);
    back.closeSubpath();
    p.drawPath(back);
    p.restore();
}

// Sepia: keep the light, give it one warm hue, add a little film grain and a vignette.
void tone(QImage& image, QRandomGenerator& rng)
{
    const QPointF centre(image.width() / 2.0, image.height() / 2.0);
    const double reach = std::hypot(centre.x(), centre.y());
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double grey = qGray(row[x]) + (rng.bounded(13) - 6);
            const double edge = std::hypot(x - centre.x(), y - centre.y()) / reach;
            const double light = std::clamp(grey * (1.0 - 0.35 * edge * edge), 0.0, 255.0);
            row[x] = qRgb(std::min(255.0, light * 1.07 + 12), std::min(255.0, light * 0.89 + 6), light * 0.66);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_placeholder out.ppm\n");
        return 2;
    }
    QRandomGenerator rng(1977);
    QImage image(188, 250, QImage::Format_RGB32);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        drawPaper(p, image.rect());
        drawWriting(p, rng);
        drawPenAndHand(p);
    }
    tone(image, rng);
    return image.save(QString::fromLocal8Bit(argv[1]), "PPM") ? 0 : 1;
}
