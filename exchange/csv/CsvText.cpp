#include "CsvText.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <unicode/ucsdet.h>

namespace {

constexpr qsizetype kSampleBytes = 64 * 1024;
constexpr qsizetype kPieceBytes = 1024 * 1024;

struct DetectorClose {
    void operator()(UCharsetDetector* d) const { ucsdet_close(d); }
};

bool isValidUtf8(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* end = p + bytes.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        int more = 0;
        char32_t c = 0;
        if ((*p & 0xE0) == 0xC0 && *p >= 0xC2) {
            more = 1;
            c = *p & 0x1F;
        } else if ((*p & 0xF0) == 0xE0) {
            more = 2;
            c = *p & 0x0F;
        } else if ((*p & 0xF8) == 0xF0 && *p <= 0xF4) {
            more = 3;
            c = *p & 0x07;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (p[i] & 0x3F);
        }
        if ((more == 2 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) || (more == 3 && (c < 0x10000 || c > 0x10FFFF)))
            return false;
        p += more + 1;
    }
    return true;
}

// What the detector sees: the start of the file when it may be UTF-16 (its
// zero bytes tell), else the lines that hold bytes above ASCII, which carry
// everything that tells one Chinese encoding from another.
QByteArray detectorSample(const QByteArray& bytes)
{
    const QByteArray head = bytes.left(kSampleBytes);
    if (head.contains('\0'))
        return head;
    QByteArray sample;
    qsizetype at = 0;
    while (at < bytes.size() && sample.size() < kSampleBytes) {
        qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            end = bytes.size();
        const QByteArrayView line(bytes.constData() + at, end - at);
        if (std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
            sample.append(line).append('\n');
        at = end + 1;
    }
    return sample;
}

bool decodesCleanly(const QByteArray& bytes, const QString& encoding)
{
    QStringDecoder decoder(encoding.toLatin1().constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return false;
    (void)decoder.decode(bytes);
    return !decoder.hasError();
}

}  // namespace

QString detectCharset(const QByteArray& bytes)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UCharsetDetector, DetectorClose> detector(ucsdet_open(&status));
    if (U_FAILURE(status))
        return QString();
    ucsdet_setText(detector.get(), bytes.constData(), static_cast<int32_t>(bytes.size()), &status);
    int32_t count = 0;
    const UCharsetMatch** matches = ucsdet_detectAll(detector.get(), &count, &status);
    if (U_FAILURE(status))
        return QString();
    static const QStringList candidates{QStringLiteral("UTF-8"),    QStringLiteral("GB18030"),
                                        QStringLiteral("Big5"),     QStringLiteral("Shift_JIS"),
                                        QStringLiteral("UTF-16LE"), QStringLiteral("UTF-16BE")};
    for (int32_t i = 0; i < count; ++i) {
        UErrorCode s = U_ZERO_ERROR;
        const QString name = QString::fromLatin1(ucsdet_getName(matches[i], &s));
        const int32_t confidence = ucsdet_getConfidence(matches[i], &s);
        // Text in UTF-16 has zero bytes (every ASCII character has one); text without any is not.
        const bool wide = name.startsWith(QLatin1String("UTF-16"));
        if (U_SUCCESS(s) && confidence >= 10 && candidates.contains(name) && wide == bytes.contains('\0')
            && decodesCleanly(bytes, name))
            return name;
    }
    return QString();
}

CsvEncoding detectCsvEncoding(const QByteArray& bytes)
{
    const QString bom = QStringLiteral("有 BOM");
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return {QStringLiteral("UTF-8"), bom, 3};
    if (bytes.startsWith("\xFF\xFE"))
        return {QStringLiteral("UTF-16LE"), bom, 2};
    if (bytes.startsWith("\xFE\xFF"))
        return {QStringLiteral("UTF-16BE"), bom, 2};
    if (bytes.startsWith("\x84\x31\x95\x33"))
        return {QStringLiteral("GB18030"), bom, 4};
    if (!bytes.contains('\0') && isValidUtf8(bytes))
        return {QStringLiteral("UTF-8"), QStringLiteral("自动识别")};
    const QString found = detectCharset(detectorSample(bytes));
    if (!found.isEmpty() && found != QLatin1String("UTF-8"))
        return {found, QStringLiteral("自动识别")};
    return {QStringLiteral("GB18030"), QStringLiteral("无法确定，按默认")};
}

std::function<bool(QString&)> csvTextPieces(const QByteArray& bytes, const CsvEncoding& encoding)
{
    auto decoder = std::make_shared<QStringDecoder>(encoding.name.toLatin1().constData());
    auto at = std::make_shared<qsizetype>(encoding.bomLength);
    return [&bytes, decoder, at](QString& text) {
        if (*at >= bytes.size())
            return false;
        const qsizetype length = std::min(kPieceBytes, bytes.size() - *at);
        text += decoder->decode(QByteArrayView(bytes.constData() + *at, length));
        *at += length;
        return true;
    };
}
