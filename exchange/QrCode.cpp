#include "QrCode.h"

#include "exchange/vcard/VCardWriter.h"

#include <QBuffer>

#include <memory>
#include <qrencode.h>

QByteArray ContactQrText(const StoredContact& contact)
{
    StoredContact withoutPhoto = contact;
    withoutPhoto.photo.clear();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeVCards(buffer, {withoutPhoto});
    return buffer.data();
}

QrMatrix EncodeQr(const QByteArray& bytes)
{
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(int(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.constData()), 0,
                          QR_ECLEVEL_M),
        &QRcode_free);
    if (!code)
        throw ExchangeError(QStringLiteral("联系人的内容太多，放不进二维码（%1 字节）").arg(bytes.size()));
    QrMatrix matrix;
    matrix.width = code->width;
    matrix.dark.resize(size_t(code->width) * size_t(code->width));
    for (size_t i = 0; i < matrix.dark.size(); ++i)
        matrix.dark[i] = (code->data[i] & 1) != 0;
    return matrix;
}

QImage QrImage(const QrMatrix& matrix, int scale)
{
    const int side = (matrix.width + 2 * QrQuietZone) * scale;
    QImage image(side, side, QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    image.fill(0);
    for (int y = 0; y < matrix.width; ++y)
        for (int x = 0; x < matrix.width; ++x)
            if (matrix.at(x, y))
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx)
                        image.setPixel((QrQuietZone + x) * scale + dx, (QrQuietZone + y) * scale + dy, 1);
    return image;
}

QByteArray QrSvg(const QrMatrix& matrix)
{
    const int side = matrix.width + 2 * QrQuietZone;
    QByteArray path;
    for (int y = 0; y < matrix.width; ++y)
        for (int x = 0; x < matrix.width; ++x)
            if (matrix.at(x, y))
                path += QByteArray("M") + QByteArray::number(QrQuietZone + x) + ' '
                        + QByteArray::number(QrQuietZone + y) + "h1v1h-1z";
    const QByteArray size = QByteArray::number(side);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 "
           + size + ' ' + size + "\" width=\"" + QByteArray::number(side * 8) + "\" height=\""
           + QByteArray::number(side * 8) + "\" shape-rendering=\"crispEdges\">\n<rect width=\"" + size + "\" height=\""
           + size + "\" fill=\"#fff\"/>\n<path fill=\"#000\" d=\"" + path + "\"/>\n</svg>\n";
}
