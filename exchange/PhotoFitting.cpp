#include "PhotoFitting.h"

#include "photo/JpegCodec.h"
#include "platform/Errors.h"

#include <QImage>

namespace {

const char* bitmapKind(const QByteArray& bytes)
{
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return "PNG";
    if (bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a"))
        return "GIF";
    if (bytes.startsWith("BM"))
        return "BMP";
    return nullptr;
}

// A transparent picture is seen on white, as it shows in a viewer; the JPEG has no alpha.
QImage onWhite(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return image;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QImage flat(argb.size(), QImage::Format_RGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(flat.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const int a = qAlpha(from[x]);
            const auto blend = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            to[x] = qRgb(blend(qRed(from[x])), blend(qGreen(from[x])), blend(qBlue(from[x])));
        }
    }
    return flat;
}

}  // namespace

bool isPictureData(const QByteArray& bytes)
{
    return bytes.startsWith("\xff\xd8") || bitmapKind(bytes) != nullptr;
}

PhotoFit FitPhoto(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    if (bytes.startsWith("\xff\xd8")) {
        try {
            ReadJpegHeader(bytes);
            return {bytes, {}};
        } catch (const EJPEG& e) {
            // Still the phone's own bytes: kept, so an export gives them back, but said.
            return {bytes,
                    QStringLiteral("照片：JPEG 数据无法读取（%1），按原样保存，窗口中可能无法显示").arg(e.Message)};
        }
    }
    const char* kind = bitmapKind(bytes);
    if (!kind)
        return {std::nullopt, QStringLiteral("照片：图像格式不支持，未导入")};
    QImage image;
    if (!image.loadFromData(bytes, kind) || image.isNull())
        return {std::nullopt, QStringLiteral("照片：无法读取（%1），未导入").arg(QLatin1String(kind))};
    try {
        return {CompressJpeg(onWhite(image)), {}};
    } catch (const EJPEG& e) {
        return {std::nullopt, QStringLiteral("照片：无法转换为 JPEG（%1），未导入").arg(e.Message)};
    }
}
