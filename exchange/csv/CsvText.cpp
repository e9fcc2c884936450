#include "CsvText.h"

#include "exchange/Utf16ByZeroBytes.h"
#include "exchange/WesternText.h"
#include "exchange/sheet/Utf8.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <unicode/ucsdet.h>
#include <vector>

namespace {

constexpr qsizetype kSampleBytes = 64 * 1024;
constexpr qsizetype kPieceBytes = 1024 * 1024;

struct DetectorClose {
    void operator()(UCharsetDetector* d) const { ucsdet_close(d); }
};

// The length of a piece without the UTF-8 sequence its end may cut, which
// the next piece then starts with.
qsizetype withoutCutSequence(const QByteArray& piece)
{
    qsizetype k = piece.size();
    while (k > 0 && piece.size() - k < 3 && (static_cast<unsigned char>(piece[k - 1]) & 0xC0) == 0x80)
        --k;
    if (k > 0 && static_cast<unsigned char>(piece[k - 1]) >= 0xC0)
        return k - 1;
    return piece.size();
}

// Valid UTF-8 without a zero byte, the whole file.
bool isUtf8Text(const PieceReader& file)
{
    qsizetype at = 0;
    while (at < file.size()) {
        const QByteArray piece = file.read(at, kPieceBytes);
        if (piece.isEmpty())
            break;
        const qsizetype whole = at + piece.size() < file.size() ? withoutCutSequence(piece) : piece.size();
        if (piece.contains('\0') || !isValidUtf8(QByteArrayView(piece).first(whole)))
            return false;
        at += whole;
    }
    return true;
}

// What the detector sees: the start of the file when it may be UTF-16 (its
// zero bytes tell), else the lines that hold bytes above ASCII, which carry
// everything that tells one Chinese encoding from another.
QByteArray detectorSample(const PieceReader& file)
{
    const QByteArray head = file.read(0, kSampleBytes);
    if (head.contains('\0'))
        return head;
    struct Line {
        qsizetype at, length;
    };
    std::vector<Line> lines;
    qsizetype taken = 0, start = 0, at = 0;  // taken: the sample's size with a line feed after each line
    bool high = false;                       // the line from start holds a byte above ASCII
    while (at < file.size() && taken < kSampleBytes) {
        const QByteArray piece = file.read(at, kPieceBytes);
        if (piece.isEmpty())
            break;
        for (qsizetype i = 0; i < piece.size() && taken < kSampleBytes; ++i) {
            const auto b = static_cast<unsigned char>(piece[i]);
            if (b == '\n') {
                if (high) {
                    lines.push_back({start, at + i - start});
                    taken += at + i - start + 1;
                }
                start = at + i + 1;
                high = false;
            } else if (b >= 0x80) {
                high = true;
            }
        }
        at += piece.size();
    }
    if (taken < kSampleBytes && high)
        lines.push_back({start, file.size() - start});  // the last line, without a line feed
    QByteArray sample;
    for (const Line& line : lines)
        sample.append(file.read(line.at, line.length)).append('\n');
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

CsvEncoding detectCsvEncoding(const PieceReader& file)
{
    const QString bom = QStringLiteral("有 BOM");
    const QByteArray start = file.read(0, 4);
    if (start.startsWith("\xEF\xBB\xBF"))
        return {QStringLiteral("UTF-8"), bom, 3};
    if (start.startsWith("\xFF\xFE"))
        return {QStringLiteral("UTF-16LE"), bom, 2};
    if (start.startsWith("\xFE\xFF"))
        return {QStringLiteral("UTF-16BE"), bom, 2};
    if (start.startsWith("\x84\x31\x95\x33"))
        return {QStringLiteral("GB18030"), bom, 4};
    if (const std::optional<QStringConverter::Encoding> wide = Utf16ByZeroBytes(file.read(0, Utf16SampleBytes)))
        return {QLatin1String(QStringConverter::nameForEncoding(*wide)), QStringLiteral("自动识别")};
    if (isUtf8Text(file))
        return {QStringLiteral("UTF-8"), QStringLiteral("自动识别")};
    const QByteArray sample = detectorSample(file);
    const QString found = detectCharset(sample);
    // A guess never changes the ASCII part of a name or an address: the East Asian
    // code pages all pair a high byte with the ASCII one after it.
    const bool doubleByte = !found.startsWith(QLatin1String("UTF"));
    if (doubleByte && IsWesternRatherThanGbk(sample))
        return {QStringLiteral("windows-1252"), QStringLiteral("自动识别")};
    if (!found.isEmpty() && found != QLatin1String("UTF-8"))
        return {found, QStringLiteral("自动识别")};
    return {QStringLiteral("GB18030"), QStringLiteral("无法确定，按默认")};
}

std::function<bool(QString&)> csvTextPieces(const PieceReader& file, const CsvEncoding& encoding)
{
    auto decoder = std::make_shared<QStringDecoder>(encoding.name.toLatin1().constData());
    auto at = std::make_shared<qsizetype>(encoding.bomLength);
    return [&file, decoder, at](QString& text) {
        const QByteArray piece = *at < file.size() ? file.read(*at, kPieceBytes) : QByteArray();
        if (piece.isEmpty())
            return false;
        text += decoder->decode(piece);
        *at += piece.size();
        return true;
    };
}
