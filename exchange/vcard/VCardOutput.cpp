#include "VCardOutput.h"

#include "exchange/ContactDraft.h"

#include <cstring>

namespace {

constexpr qsizetype maxLineOctets = 75;  // a physical line, without its CRLF
constexpr qsizetype flushThreshold = 1 << 20;

bool isUtf8Continuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

}  // namespace

VCardOutput::VCardOutput(QIODevice& device) : device_(device)
{
    buffer_.reserve(flushThreshold + 64 * 1024);
}

void VCardOutput::appendEscaped(QByteArray& value, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    const qsizetype plain = std::strcspn(utf8.constData(), "\\,;\r\n");
    if (plain == utf8.size()) {
        value.append(utf8);
        return;
    }
    value.reserve(value.size() + utf8.size() + 8);
    value.append(QByteArrayView(utf8).first(plain));
    for (qsizetype i = plain; i < utf8.size(); ++i) {
        const char c = utf8[i];
        switch (c) {
        case '\\': value += "\\\\"; break;
        case ',': value += "\\,"; break;
        case ';': value += "\\;"; break;
        case '\r':
            value += "\\n";
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
            break;
        case '\n': value += "\\n"; break;
        default: value += c;
        }
    }
}

void VCardOutput::line(QByteArrayView nameAndParams, QByteArrayView value)
{
    scratch_.clear();
    scratch_.append(nameAndParams);
    scratch_.append(':');
    scratch_.append(value);
    appendFolded(scratch_);
    if (buffer_.size() >= flushThreshold)
        flush();
}

void VCardOutput::text(QByteArrayView nameAndParams, const QString& value)
{
    scratch_.clear();
    scratch_.append(nameAndParams);
    scratch_.append(':');
    appendEscaped(scratch_, value);
    appendFolded(scratch_);
    if (buffer_.size() >= flushThreshold)
        flush();
}

// Every physical line holds at most 75 octets; a continuation starts with one
// blank, and no cut falls inside a UTF-8 sequence.
void VCardOutput::appendFolded(QByteArrayView line)
{
    qsizetype at = 0;
    qsizetype room = maxLineOctets;
    while (line.size() - at > room) {
        qsizetype cut = at + room;
        while (cut > at + 1 && isUtf8Continuation(line[cut]))
            --cut;
        buffer_.append(line.sliced(at, cut - at));
        buffer_.append("\r\n ");
        at = cut;
        room = maxLineOctets - 1;
    }
    buffer_.append(line.sliced(at));
    buffer_.append("\r\n");
}

void VCardOutput::flush()
{
    if (buffer_.isEmpty())
        return;
    const qint64 written = device_.write(buffer_);
    if (written != buffer_.size())
        throw ExchangeError(QStringLiteral("无法写入名片文件：%1").arg(device_.errorString()));
    buffer_.clear();
}
