#include "VCardValue.h"

#include "Gbk.h"
#include "VCardProperty.h"

#include <QStringDecoder>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isGbkName(const QByteArray& upper)
{
    return upper == "GB2312" || upper == "GBK" || upper == "GB18030" || upper == "CP936" || upper == "X-GBK"
        || upper == "EUC-CN" || upper == "GB_2312-80" || upper == "WINDOWS-936";
}

bool decodeUtf8(const QByteArray& bytes, QString& text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = decoder.decode(bytes);
    return !decoder.hasError();
}

// GB18030 reads every byte string; a clean one encodes back to the same bytes.
bool decodeGbk(const QByteArray& bytes, QString& text)
{
    text = fromGbk(bytes);
    return toGbk(text) == bytes;
}

bool decodeNamed(const QByteArray& bytes, const QByteArray& charset, QString& text)
{
    QStringDecoder decoder(charset.constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return false;
    text = decoder.decode(bytes);
    return !decoder.hasError();
}

bool isAscii(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

QByteArray decodeQuotedPrintable(QByteArrayView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            bytes.append(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
        } else {
            bytes.append(text[i]);
        }
    }
    return bytes;
}

bool decodeBase64(QByteArrayView text, QByteArray& bytes)
{
    QByteArray compact;
    compact.reserve(text.size());
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            compact.append(c);
    }
    auto result = QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
    if (!result)
        return false;
    bytes = std::move(*result);
    return true;
}

DecodedText decodeValueText(const VCardProperty& property)
{
    const QByteArray encoding = property.parameter("ENCODING").toUpper();
    DecodedText decoded;
    QByteArray bytes = property.value;
    if (encoding == "QUOTED-PRINTABLE")
        bytes = decodeQuotedPrintable(property.value);
    else if ((encoding == "B" || encoding == "BASE64") && !decodeBase64(property.value, bytes))
        decoded.clean = false;
    if (isAscii(bytes)) {
        decoded.text = QString::fromLatin1(bytes);
        return decoded;
    }
    const QByteArray charset = property.parameter("CHARSET").toUpper();
    if (isGbkName(charset) ? decodeGbk(bytes, decoded.text) : false)
        return decoded;
    if (!charset.isEmpty() && !isGbkName(charset) && charset != "UTF-8" && decodeNamed(bytes, charset, decoded.text))
        return decoded;
    if (decodeUtf8(bytes, decoded.text) || decodeGbk(bytes, decoded.text))
        return decoded;
    decoded.text = QString::fromUtf8(bytes);
    decoded.clean = false;
    return decoded;
}

QStringList splitEscaped(const QString& text, QChar separator)
{
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\'))
            ++i;
        else if (text[i] == separator) {
            parts.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.mid(start));
    return parts;
}

QString unescapeText(const QString& text, bool newlineEscapes)
{
    if (!text.contains(QLatin1Char('\\')))
        return text;
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            plain += c;
            continue;
        }
        const QChar escaped = text[i + 1];
        if (escaped == QLatin1Char('\\') || escaped == QLatin1Char(',') || escaped == QLatin1Char(';')) {
            plain += escaped;
            ++i;
        } else if (newlineEscapes && (escaped == QLatin1Char('n') || escaped == QLatin1Char('N'))) {
            plain += QLatin1Char('\n');
            ++i;
        } else {
            plain += c;
        }
    }
    return plain;
}
