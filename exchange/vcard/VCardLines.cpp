#include "VCardLines.h"

#include <cstring>

namespace {

enum class ValueEncoding { Plain, QuotedPrintable, Base64 };

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// What the parameters (everything before the first colon) say about the value.
ValueEncoding encodingOf(QByteArrayView text)
{
    const qsizetype colon = text.indexOf(':');
    const QByteArrayView head = colon < 0 ? text : text.first(colon);
    if (head.indexOf(';') < 0)
        return ValueEncoding::Plain;
    const QByteArray upper = head.toByteArray().toUpper();
    if (upper.contains("QUOTED-PRINTABLE"))
        return ValueEncoding::QuotedPrintable;
    if (upper.contains("BASE64") || upper.contains("ENCODING=B;") || upper.endsWith("ENCODING=B"))
        return ValueEncoding::Base64;
    return ValueEncoding::Plain;
}

bool isBase64Text(QByteArrayView text)
{
    bool any = false;
    for (const char c : text) {
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+'
                            || c == '/' || c == '=';
        if (letter)
            any = true;
        else if (!isBlank(c))
            return false;
    }
    return any;
}

bool isEmptyLine(QByteArrayView text)
{
    for (const char c : text) {
        if (!isBlank(c))
            return false;
    }
    return true;
}

bool isEndLine(QByteArrayView text)
{
    return text.trimmed().toByteArray().toUpper() == "END:VCARD";
}

}  // namespace

VCardLineReader::VCardLineReader(QByteArrayView bytes) : bytes_(bytes) {}

bool VCardLineReader::peekPhysical(QByteArrayView& text)
{
    if (at_ >= bytes_.size())
        return false;
    if (peekedAt_ != at_) {
        const char* begin = bytes_.data() + at_;
        const qsizetype rest = bytes_.size() - at_;
        const void* lf = std::memchr(begin, '\n', static_cast<size_t>(rest));
        qsizetype length = lf ? static_cast<const char*>(lf) - begin : rest;
        // A lone CR ends a line too; look for one only in the piece before the LF.
        const void* cr = std::memchr(begin, '\r', static_cast<size_t>(length));
        if (cr)
            length = static_cast<const char*>(cr) - begin;
        peeked_ = QByteArrayView(begin, length);
        peekedAt_ = at_;
    }
    text = peeked_;
    return true;
}

void VCardLineReader::skipPhysical()
{
    QByteArrayView text;
    if (!peekPhysical(text))
        return;
    at_ += text.size();
    if (at_ < bytes_.size() && bytes_[at_] == '\r')
        ++at_;
    if (at_ < bytes_.size() && bytes_[at_] == '\n')
        ++at_;
    ++lineNumber_;
}

bool VCardLineReader::next(ContentLine& line)
{
    QByteArrayView first;
    if (!peekPhysical(first))
        return false;
    line.line = lineNumber_;
    line.text = first.toByteArray();
    skipPhysical();
    const ValueEncoding encoding = encodingOf(line.text);
    QByteArrayView following;
    while (peekPhysical(following)) {
        if (encoding == ValueEncoding::QuotedPrintable && line.text.endsWith('=') && !isEndLine(following)) {
            line.text.chop(1);  // a soft line break: the next line goes on as it stands
            line.text.append(following);
        } else if (!following.isEmpty() && isBlank(following[0])) {
            line.text.append(following.sliced(1));  // a folded line: drop the break and one blank
        } else if (encoding == ValueEncoding::Base64 && isEmptyLine(following)) {
            skipPhysical();  // the blank line that ends a version 2.1 picture
            break;
        } else if (encoding == ValueEncoding::Base64 && isBase64Text(following)) {
            line.text.append(following);
        } else {
            break;
        }
        skipPhysical();
    }
    return true;
}
