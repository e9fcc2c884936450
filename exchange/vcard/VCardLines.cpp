#include "VCardLines.h"

#include <QIODevice>
#include <algorithm>
#include <cstring>

namespace {

enum class ValueEncoding { Plain, QuotedPrintable, Base64 };

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// upperWord: starts with a letter.
bool containsCaseless(QByteArrayView text, QByteArrayView upperWord)
{
    const char upper = upperWord.front();
    const char lower = char(upper | 0x20);
    for (qsizetype i = 0; i + upperWord.size() <= text.size(); ++i) {
        if ((text[i] == upper || text[i] == lower)
            && text.sliced(i, upperWord.size()).compare(upperWord, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool endsWithCaseless(QByteArrayView text, QByteArrayView upperWord)
{
    return text.size() >= upperWord.size() && text.last(upperWord.size()).compare(upperWord, Qt::CaseInsensitive) == 0;
}

// What the parameters (everything before the first colon) say about the value.
// Looked at in place: every line of a file passes here.
ValueEncoding encodingOf(QByteArrayView text)
{
    const qsizetype colon = text.indexOf(':');
    const QByteArrayView head = colon < 0 ? text : text.first(colon);
    if (head.indexOf(';') < 0)
        return ValueEncoding::Plain;
    if (containsCaseless(head, "QUOTED-PRINTABLE"))
        return ValueEncoding::QuotedPrintable;
    if (containsCaseless(head, "BASE64") || containsCaseless(head, "ENCODING=B;")
        || endsWithCaseless(head, "ENCODING=B"))
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
    const QByteArrayView trimmed = text.trimmed();
    return trimmed.size() == 9 && trimmed.compare("END:VCARD", Qt::CaseInsensitive) == 0;
}

bool isNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

// "NAME:", "NAME;", "group.NAME:": how every property line starts.
bool looksLikeProperty(QByteArrayView text)
{
    qsizetype i = 0;
    while (i < text.size() && isNameCharacter(text[i]))
        ++i;
    if (i > 0 && i < text.size() && text[i] == '.') {
        const qsizetype group = ++i;
        while (i < text.size() && isNameCharacter(text[i]))
            ++i;
        if (i == group)
            return false;
    }
    return i > 0 && i < text.size() && (text[i] == ':' || text[i] == ';');
}

// A property as writers spell them: an upper-case name ("TEL;", "item1.EMAIL:").
bool looksLikeUpperCaseProperty(QByteArrayView text)
{
    if (!looksLikeProperty(text))
        return false;
    const qsizetype end = std::min(text.indexOf(':') < 0 ? text.size() : text.indexOf(':'),
                                   text.indexOf(';') < 0 ? text.size() : text.indexOf(';'));
    const QByteArrayView name = text.first(end).sliced(text.first(end).lastIndexOf('.') + 1);
    for (const char c : name)
        if (c >= 'a' && c <= 'z')
            return false;
    return true;
}

bool isComment(QByteArrayView text)
{
    return text.trimmed().startsWith('#');
}

// The value ends with a backslash that escapes nothing: the writer went on in the next line.
bool endsWithContinuation(QByteArrayView text)
{
    qsizetype backslashes = 0;
    while (backslashes < text.size() && text[text.size() - 1 - backslashes] == '\\')
        ++backslashes;
    return backslashes % 2 == 1;
}

// Lines that say which card and version this is: never a value a stray line belongs to.
bool isFrameLine(QByteArrayView text)
{
    const auto startsWith = [text](QByteArrayView upper) {
        return text.size() >= upper.size() && text.first(upper.size()).compare(upper, Qt::CaseInsensitive) == 0;
    };
    // Every line passes here: the first letter rules out most before any comparison.
    switch (text.isEmpty() ? 0 : text.front() & ~0x20) {
    case 'B': return startsWith("BEGIN:");
    case 'E': return startsWith("END:");
    case 'V': return startsWith("VERSION:");
    default: return false;
    }
}

// Appends in place: a picture's value gathers hundreds of short lines, and
// QByteArray::append weighs each for aliasing and sharing first.
void appendPiece(QByteArray& text, QByteArrayView piece)
{
    const qsizetype at = text.size();
    if (text.capacity() < at + piece.size() || !text.isDetached()) {
        text.append(piece);
        return;
    }
    text.resize(at + piece.size());
    std::memcpy(text.data() + at, piece.data(), size_t(piece.size()));
}

}  // namespace

VCardLineReader::VCardLineReader(QByteArrayView bytes) : bytes_(bytes) {}

VCardLineReader::VCardLineReader(QIODevice& device) : device_(&device) {}

bool VCardLineReader::readMore()
{
    if (!device_ || device_->atEnd())
        return false;
    // A piece small enough to stay in the processor's cache while its lines are
    // read; a line longer than a piece doubles the next read rather than reading
    // it again and again.
    constexpr qsizetype Piece = 1 << 17;
    const qsizetype rest = bytes_.size() - at_;
    const qsizetype wanted = std::max(Piece, rest);
    // The unread rest moves to the front of the one buffer and the device reads on after it.
    if (bytes_.data() == piece_.constData())
        std::memmove(piece_.data(), piece_.constData() + at_, size_t(rest));
    else
        piece_ = bytes_.sliced(at_).toByteArray();
    piece_.resize(rest + wanted);
    const qint64 read = device_->read(piece_.data() + rest, wanted);
    piece_.resize(rest + std::max<qint64>(read, 0));
    bytes_ = piece_;
    at_ = 0;
    peekedAt_ = -1;
    return read > 0;
}

qsizetype VCardLineReader::lineLength() const
{
    // Looked for in growing windows: a file of bare CRs has no LF to search up to.
    const char* begin = bytes_.data() + at_;
    const qsizetype rest = bytes_.size() - at_;
    for (qsizetype window = 256;; window *= 2) {
        const qsizetype span = std::min(window, rest);
        const void* lf = std::memchr(begin, '\n', static_cast<size_t>(span));
        const qsizetype upTo = lf ? static_cast<const char*>(lf) - begin : span;
        // A lone CR ends a line too: the first CR before the LF.
        if (const void* cr = std::memchr(begin, '\r', static_cast<size_t>(upTo)))
            return static_cast<const char*>(cr) - begin;
        if (lf)
            return upTo;
        if (span == rest)
            return -1;
    }
}

bool VCardLineReader::peekPhysical(QByteArrayView& text)
{
    if (at_ >= bytes_.size() && !readMore())
        return false;
    if (peekedAt_ != at_) {
        qsizetype length = lineLength();
        while (length < 0 && readMore())
            length = lineLength();
        if (length < 0)
            length = bytes_.size() - at_;
        // The CRs ending the line and the byte after them are at hand, so its line end is read whole.
        qsizetype after = length;
        do {
            while (at_ + after < bytes_.size() && bytes_[at_ + after] == '\r')
                ++after;
        } while (at_ + after == bytes_.size() && after > length && readMore());
        peekedLength_ = length;
        peekedAt_ = at_;
    }
    text = QByteArrayView(bytes_.data() + at_, peekedLength_);
    return true;
}

void VCardLineReader::skipPhysical()
{
    QByteArrayView text;
    if (!peekPhysical(text))
        return;
    at_ += text.size();
    // CR LF, LF, a bare CR, and the CR CR LF of some phones each end one line.
    qsizetype crs = 0;
    while (at_ + crs < bytes_.size() && bytes_[at_ + crs] == '\r')
        ++crs;
    if (at_ + crs < bytes_.size() && bytes_[at_ + crs] == '\n')
        at_ += crs + 1;
    else if (crs > 0)
        ++at_;
    ++lineNumber_;
}

bool VCardLineReader::next(ContentLine& line)
{
    QByteArrayView first;
    do {
        if (!peekPhysical(first))
            return false;
        if (!isComment(first))
            break;
        skipPhysical();  // a comment line says nothing about the person
    } while (true);
    line.line = lineNumber_;
    line.text = first.toByteArray();
    skipPhysical();
    const ValueEncoding encoding = encodingOf(line.text);
    const bool carriesValue = looksLikeProperty(line.text) && !isFrameLine(line.text);
    if (encoding == ValueEncoding::Base64)
        line.text.reserve(32 * 1024);  // a picture: room for most phones' at once, rather than growing line by line
    QByteArrayView following;
    while (peekPhysical(following)) {
        if (encoding == ValueEncoding::QuotedPrintable && line.text.endsWith('=') && !isEndLine(following)) {
            line.text.chop(1);  // a soft line break: the next line goes on as it stands
            line.text.append(following);
        } else if (!following.isEmpty() && isBlank(following[0])) {
            appendPiece(line.text, following.sliced(1));  // a folded line: drop the break and one blank
        } else if (encoding == ValueEncoding::Base64 && isEmptyLine(following)) {
            skipPhysical();  // the blank line that ends a version 2.1 picture
            break;
        } else if (encoding == ValueEncoding::Base64 && isBase64Text(following)) {
            appendPiece(line.text, following);
        } else if (carriesValue && encoding == ValueEncoding::Plain && endsWithContinuation(line.text)
                   && !isEmptyLine(following) && !looksLikeUpperCaseProperty(following) && !isFrameLine(following)) {
            line.text.chop(1);  // continued after a backslash: the line break is the value's own
            line.text.append('\n');
            line.text.append(following);
        } else if (carriesValue && encoding == ValueEncoding::Plain && !isEmptyLine(following)
                   && !looksLikeProperty(following) && !isComment(following)) {
            line.text.append('\n');  // a value broken by a bare line break: the break is the value's own
            line.text.append(following);
        } else {
            break;
        }
        skipPhysical();
    }
    return true;
}
