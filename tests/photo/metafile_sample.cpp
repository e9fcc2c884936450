// Windows metafiles from outside, for the end-to-end script: "write DIR" writes
// the sample metafiles below (built as the metafile tests build theirs);
// "draw FILE" draws one with our player at its own size on white and prints,
// as JSON, the picture's size and where each colour it drew lies (the box of
// its pixels, and how many there are).

#include "photo/Graphics.h"
#include "tests/photo/MetafileBuilders.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QRect>
#include <cstdio>
#include <map>

namespace {

std::map<QString, QByteArray> Samples()
{
    using namespace build;
    const QRect square(0, 0, 100, 100);
    std::map<QString, QByteArray> samples;
    samples["rectangle-and-ellipse"] = RectangleAndEllipseWmf().Placeable(square, 96);

    Wmf windowed;  // a standard metafile: its first window names the picture
    windowed.WindowOrg(1000, 1000).WindowExt(1000, 1000).Pen(NullPen, 0, 0).Select(0);
    windowed.Brush(0, Red).Select(1).Rectangle(1100, 1100, 1500, 1500);
    windowed.Brush(0, Blue).Select(2).Rectangle(1600, 1300, 1900, 1900);
    samples["standard-window"] = windowed.Standard();

    Wmf mapped;  // a window set in the records overrides the placeable bounds' units
    mapped.WindowOrg(0, 0).WindowExt(10, 10).Pen(NullPen, 0, 0).Select(0);
    mapped.Brush(0, Blue).Select(1).Rectangle(5, 0, 10, 5);
    mapped.Brush(0, Red).Select(2).Rectangle(0, 6, 3, 10);
    samples["placeable-window"] = mapped.Placeable(square, 96);

    Wmf line;
    line.Pen(0, 4, Red).Select(0).MoveTo(10, 50).LineTo(90, 50);
    line.Pen(0, 2, Blue).Select(1).MoveTo(30, 10).LineTo(30, 40);
    samples["line"] = line.Placeable(square, 96);

    Wmf shapes;  // a green triangle and a red round rectangle, outlined in blue
    shapes.Pen(0, 1, Blue).Select(0).Brush(0, Green).Select(1);
    shapes.Record(0x0324, {3, 10, 90, 50, 10, 90, 90});  // META_POLYGON: count, then x, y
    shapes.Brush(0, Red).Select(2).Delete(1);
    shapes.Record(0x061C, {10, 10, 40, 80, 20, 60});  // META_ROUNDRECT: corner, bottom, right, top, left
    samples["polygon-and-round-rectangle"] = shapes.Placeable(QRect(0, 0, 100, 100), 96);

    Wmf pens;  // the stock-less objects: pens and brushes made, selected and deleted
    pens.Pen(NullPen, 0, 0).Select(0).Brush(0, Blue).Select(1).Rectangle(0, 0, 40, 100);
    pens.Delete(1).Brush(0, Green).Select(1).Rectangle(60, 20, 100, 80);
    samples["objects"] = pens.Placeable(square, 96);

    const Dib dib = Dib24(FourColours());
    Wmf stretched;
    stretched.StretchDib(dib, 2, 2, 0, 0, 100, 100);
    samples["stretchdib"] = stretched.Placeable(square, 96);
    Wmf blt;  // DIBSTRETCHBLT: rop, source height, width, y, x, then the destination
    blt.Record(0x0B41, {0x0020, 0x00CC, 2, 2, 0, 0, 100, 100, 0, 0}, dib.packed());
    samples["dibstretchblt"] = blt.Placeable(square, 96);
    return samples;
}

int Write(const QString& folder)
{
    for (const auto& [name, bytes] : Samples()) {
        QFile file(QDir(folder).filePath(name + u".wmf"_qs));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }
    return 0;
}

int Draw(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    TMetafile metafile;
    metafile.LoadFromBytes(file.readAll());
    QImage image(metafile.Width(), metafile.Height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        metafile.Draw(painter, image.rect());
    }
    std::map<QRgb, std::pair<QRect, int>> found;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb colour = image.pixel(x, y) & 0xFFFFFF;
            if (colour == 0xFFFFFF)
                continue;
            auto& [box, count] = found[colour];
            box = box.united(QRect(x, y, 1, 1));
            ++count;
        }
    }
    QJsonObject colours;
    for (const auto& [colour, place] : found) {
        const QRect& box = place.first;
        colours[QColor(colour).name()] = QJsonObject{{"left", box.left()},
                                                     {"top", box.top()},
                                                     {"right", box.right() + 1},
                                                     {"bottom", box.bottom() + 1},
                                                     {"pixels", place.second}};
    }
    const QByteArray json =
        QJsonDocument(QJsonObject{{"width", image.width()}, {"height", image.height()}, {"colours", colours}}).toJson();
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QByteArray command(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    if (command == "write")
        return Write(path);
    if (command == "draw")
        return Draw(path);
    return 2;
}
