// A contact as a QR code: the text it holds, the modules, and both drawings of them.
// That a reader gets the vCard back is checked with zbarimg (tests/e2e/book_e2e.sh).

#include "exchange/QrCode.h"

#include <QRegularExpression>
#include <QTest>

#include <set>
#include <utility>

namespace {

StoredContact zhangSan()
{
    StoredContact contact;
    contact.texts = {QStringLiteral("朋友"),        QStringLiteral("张三"),  QStringLiteral("1990-04-15"),
                     QStringLiteral("13800138000"), QStringLiteral("12345"), QStringLiteral("北京"),
                     QStringLiteral("备注")};
    contact.photo = QByteArray(20000, 'j');
    return contact;
}

using Modules = std::set<std::pair<int, int>>;

Modules darkOf(const QrMatrix& matrix)
{
    Modules dark;
    for (int y = 0; y < matrix.width; ++y)
        for (int x = 0; x < matrix.width; ++x)
            if (matrix.at(x, y))
                dark.insert({x, y});
    return dark;
}

}  // namespace

class QrTest : public QObject {
    Q_OBJECT

private slots:
    void shouldHoldTheVCardWithoutThePhoto()
    {
        const QByteArray text = ContactQrText(zhangSan());
        QVERIFY(text.startsWith("BEGIN:VCARD\r\nVERSION:3.0\r\n"));
        QVERIFY(text.contains("FN:张三\r\n"));
        QVERIFY(text.contains("TEL;TYPE=CELL:13800138000\r\n"));
        QVERIFY(!text.contains("PHOTO"));
        QVERIFY(text.size() < 1000);
    }

    void shouldEncodeAtTheSmallestVersionOrRefuse_data()
    {
        QTest::addColumn<int>("bytes");
        QTest::addColumn<int>("width");  // 0: does not fit
        // Level M in 8-bit mode: version 1 holds 14 bytes, version 40 holds 2331.
        QTest::newRow("version 1") << 14 << 21;
        QTest::newRow("version 2") << 15 << 25;
        QTest::newRow("version 40") << 2331 << 177;
        QTest::newRow("too long") << 2332 << 0;
    }

    void shouldEncodeAtTheSmallestVersionOrRefuse()
    {
        QFETCH(int, bytes);
        QFETCH(int, width);
        const QByteArray text(bytes, 'a');
        if (width == 0) {
            QVERIFY_THROWS_EXCEPTION(ExchangeError, EncodeQr(text));
            return;
        }
        const QrMatrix matrix = EncodeQr(text);
        QCOMPARE(matrix.width, width);
        // The finder pattern in the top left corner: a dark ring, a light ring, a dark core.
        QVERIFY(matrix.at(0, 0) && matrix.at(6, 6) && !matrix.at(1, 1) && matrix.at(3, 3) && !matrix.at(7, 7));
    }

    void shouldDrawTheSameModulesInBothPictures()
    {
        const QrMatrix matrix = EncodeQr(ContactQrText(zhangSan()));
        const int scale = 3;
        const QImage image = QrImage(matrix, scale);
        QCOMPARE(image.width(), (matrix.width + 2 * QrQuietZone) * scale);
        Modules fromImage;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const bool dark = qGray(image.pixel(x, y)) < 128;
                const int mx = x / scale - QrQuietZone, my = y / scale - QrQuietZone;
                const bool inside = mx >= 0 && my >= 0 && mx < matrix.width && my < matrix.width;
                QCOMPARE(dark, inside && matrix.at(mx, my));
                if (dark)
                    fromImage.insert({mx, my});
            }
        QCOMPARE(fromImage, darkOf(matrix));

        const QString svg = QString::fromUtf8(QrSvg(matrix));
        const int side = matrix.width + 2 * QrQuietZone;
        QVERIFY(svg.contains(QStringLiteral("viewBox=\"0 0 %1 %1\"").arg(side)));
        Modules fromSvg;
        static const QRegularExpression move(QStringLiteral("M(\\d+) (\\d+)h1v1h-1z"));
        for (const QRegularExpressionMatch& m : move.globalMatch(svg))
            fromSvg.insert({m.captured(1).toInt() - QrQuietZone, m.captured(2).toInt() - QrQuietZone});
        QCOMPARE(fromSvg, darkOf(matrix));
    }
};

QTEST_GUILESS_MAIN(QrTest)
#include "test_qr.moc"
