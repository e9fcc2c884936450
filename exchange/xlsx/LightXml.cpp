#include "LightXml.h"

#include "exchange/sheet/Utf8.h"

#include <algorithm>
#include <cstring>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNameStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool isNameChar(char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// A name of ASCII letters with at most one colon: "c", "x14ac:dyDescent".
bool readName(const char*& q, const char* end, QLatin1StringView& prefix, QLatin1StringView& local)
{
    const char* start = q;
    const char* colon = nullptr;
    if (q >= end || !isNameStart(*q))
        return false;
    ++q;
    while (q < end) {
        if (isNameChar(*q)) {
            ++q;
        } else if (*q == ':' && !colon && q + 1 < end && isNameStart(q[1])) {
            colon = q;
            q += 2;
        } else {
            break;
        }
    }
    if (q < end && (static_cast<unsigned char>(*q) >= 0x80 || *q == ':'))
        return false;  // a name beyond ASCII, or with a second colon
    prefix = colon ? QLatin1StringView(start, colon - start) : QLatin1StringView();
    local = colon ? QLatin1StringView(colon + 1, q - colon - 1) : QLatin1StringView(start, q - start);
    return true;
}

// An element's name: the reader takes none with a prefix.
bool readElementName(const char*& q, const char* end, QLatin1StringView& local)
{
    QLatin1StringView prefix;
    return readName(q, end, prefix, local) && prefix.isEmpty();
}

// Skips white space; true when there was some.
bool skipSpace(const char*& q, const char* end)
{
    const char* start = q;
    while (q < end && isSpace(*q))
        ++q;
    return q > start;
}

// The characters the reader takes as they are: tab, line feed and the
// printable ones, without DEL, the C1 controls and the non-characters.
bool isPlainCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
           || (c >= 0x10000 && c <= 0x10FFFF);
}

// An entity at q ('&'): one of XML's five or a character reference.
bool decodeEntity(const char*& q, const char* end, char32_t& c)
{
    const auto* semicolon = static_cast<const char*>(std::memchr(q, ';', std::min<qsizetype>(end - q, 12)));
    if (!semicolon)
        return false;
    const QLatin1StringView name(q + 1, semicolon - q - 1);
    if (name == QLatin1StringView("lt"))
        c = '<';
    else if (name == QLatin1StringView("gt"))
        c = '>';
    else if (name == QLatin1StringView("amp"))
        c = '&';
    else if (name == QLatin1StringView("quot"))
        c = '"';
    else if (name == QLatin1StringView("apos"))
        c = '\'';
    else if (name.size() >= 2 && name[0] == QLatin1Char('#')) {
        const bool hex = name[1] == QLatin1Char('x');
        const QLatin1StringView digits = name.sliced(hex ? 2 : 1);
        if (digits.isEmpty() || digits.size() > 8)
            return false;
        c = 0;
        for (QChar d : digits) {
            const int v = d.isDigit() ? d.unicode() - '0'
                          : hex && d.toLower() >= QLatin1Char('a') && d.toLower() <= QLatin1Char('f')
                              ? d.toLower().unicode() - 'a' + 10
                              : -1;
            if (v < 0)
                return false;
            c = c * (hex ? 16 : 10) + v;
        }
        if (!isPlainCharacter(c))
            return false;
    } else {
        return false;
    }
    q = semicolon + 1;
    return true;
}

void put(QChar*& out, char32_t c)
{
    if (c < 0x10000) {
        *out++ = QChar(static_cast<char16_t>(c));
    } else {
        *out++ = QChar(QChar::highSurrogate(c));
        *out++ = QChar(QChar::lowSurrogate(c));
    }
}

enum class Run { Text, Attribute };

// Characters up to stop ('<' for text, the quote for an attribute value),
// checked and, with into, decoded and appended (UTF-16 never takes more units
// than UTF-8 takes bytes, so the room is made once). False on anything the
// reader does not take as it is.
bool readRun(const char*& q, const char* end, char stop, QString* into, Run run)
{
    const auto* found = static_cast<const char*>(std::memchr(q, stop, end - q));
    const char* runEnd = found ? found : end;
    QChar* out = nullptr;
    if (into) {
        const qsizetype at = into->size();
        into->resize(at + (runEnd - q));
        out = into->data() + at;
    }
    while (q < runEnd) {
        const auto b = static_cast<unsigned char>(*q);
        if (b >= 0x20 && b < 0x7F) {
            if (b == '&') {
                char32_t c = 0;
                if (!decodeEntity(q, runEnd, c))
                    return false;
                if (out)
                    put(out, c);
                continue;
            }
            if (run == Run::Attribute && b == '<')
                return false;
            if (run == Run::Text && b == ']' && runEnd - q >= 3 && q[1] == ']' && q[2] == '>')
                return false;
            if (out)
                *out++ = QChar(b);
            ++q;
        } else if (b == '\t' || b == '\n' || (b == '\r' && !into)) {
            if (run == Run::Attribute)
                return false;  // white space in a value is normalised: left to the full reader
            if (out)
                *out++ = QChar(b);
            ++q;
        } else if (b >= 0x80) {
            char32_t c = 0;
            if (!decodeUtf8(q, runEnd, c) || !isPlainCharacter(c))
                return false;
            if (out)
                put(out, c);
        } else {
            return false;  // a control character, DEL, or a carriage return in text that is kept
        }
    }
    if (into)
        into->truncate(out - into->constData());
    return true;
}

}  // namespace

LightXmlReader::LightXmlReader(QByteArrayView xml) : p_(xml.data()), end_(xml.data() + xml.size()) {}

void LightXmlReader::giveUp()
{
    gaveUp_ = true;
    token_ = Token::Done;
}

QStringView LightXmlReader::attribute(QLatin1StringView localName) const
{
    for (const Attribute& a : attributes_)
        if (a.local == localName)
            return QStringView(values_).sliced(a.from, a.size);
    return QStringView();
}

// The XML declaration, when the document starts with one: version 1.0, UTF-8.
bool LightXmlReader::readDeclaration()
{
    if (end_ - p_ >= 3 && std::memcmp(p_, "\xEF\xBB\xBF", 3) == 0)
        return false;
    if (end_ - p_ < 6 || std::memcmp(p_, "<?xml", 5) != 0)
        return true;
    const char* q = p_ + 5;
    const qsizetype close = QByteArrayView(q, end_ - q).indexOf("?>");
    if (close < 0)
        return false;
    const char* end = q + close;
    const QLatin1StringView names[] = {QLatin1StringView("version"), QLatin1StringView("encoding"),
                                       QLatin1StringView("standalone")};
    int next = 0;  // the pseudo-attributes come in this order, version first and always
    while (q < end) {
        const bool apart = skipSpace(q, end);
        if (q == end)
            break;
        QLatin1StringView name;
        if (!apart || !readElementName(q, end, name))
            return false;
        skipSpace(q, end);
        if (q == end || *q != '=')
            return false;
        ++q;
        skipSpace(q, end);
        if (q == end || (*q != '"' && *q != '\''))
            return false;
        const char quote = *q++;
        const char* value = q;
        while (q < end && *q != quote)
            ++q;
        if (q == end)
            return false;
        const QLatin1StringView v(value, q++ - value);
        int index = next;
        while (index < 3 && names[index] != name)
            ++index;
        if (index == 3 || (next == 0 && index != 0))
            return false;
        if ((index == 0 && v != QLatin1StringView("1.0"))
            || (index == 1 && v.compare(QLatin1StringView("UTF-8"), Qt::CaseInsensitive) != 0)
            || (index == 2 && v != QLatin1StringView("yes") && v != QLatin1StringView("no")))
            return false;
        next = index + 1;
    }
    if (next == 0)
        return false;  // no version
    p_ = end + 2;
    return true;
}

bool LightXmlReader::readStartTag()
{
    const char* q = p_ + 1;
    QLatin1StringView local;
    if (!readElementName(q, end_, local))
        return false;
    attributes_.clear();
    values_.truncate(0);
    for (;;) {
        const bool apart = skipSpace(q, end_);
        if (q >= end_)
            return false;
        if (*q == '>') {
            ++q;
            selfClosing_ = false;
            break;
        }
        if (*q == '/') {
            if (q + 1 >= end_ || q[1] != '>')
                return false;
            q += 2;
            selfClosing_ = true;
            break;
        }
        if (!apart || !readAttribute(q))
            return false;  // attributes stand apart by white space
    }
    if (!checkAttributes())
        return false;
    open_.push_back(local);
    name_ = local;
    token_ = Token::Start;
    rootSeen_ = true;
    p_ = q;
    return true;
}

bool LightXmlReader::readAttribute(const char*& q)
{
    QLatin1StringView prefix, local;
    if (!readName(q, end_, prefix, local))
        return false;
    skipSpace(q, end_);
    if (q >= end_ || *q != '=')
        return false;
    ++q;
    skipSpace(q, end_);
    if (q >= end_ || (*q != '"' && *q != '\''))
        return false;
    const char quote = *q++;
    const qsizetype from = values_.size();
    if (!readRun(q, end_, quote, &values_, Run::Attribute) || q >= end_)
        return false;
    ++q;
    const qsizetype size = values_.size() - from;
    const QLatin1StringView xmlns("xmlns");
    if (prefix == xmlns || (prefix.isEmpty() && local == xmlns)) {
        // A namespace declaration, no attribute: elements are known by their
        // local names, attributes' prefixes must be declared. The default one
        // is kept under an empty name, so that each is declared once a tag.
        const QLatin1StringView declared = prefix.isEmpty() ? QLatin1StringView() : local;
        const QStringView uri = QStringView(values_).sliced(from, size);
        const qsizetype depth = static_cast<qsizetype>(open_.size()) + 1;
        if ((!prefix.isEmpty() && (size == 0 || local == xmlns || local == QLatin1StringView("xml")))
            || uri == QLatin1StringView("http://www.w3.org/XML/1998/namespace")
            || uri == QLatin1StringView("http://www.w3.org/2000/xmlns/")
            || std::any_of(prefixes_.begin(), prefixes_.end(),
                           [&](const Prefix& p) { return p.depth == depth && p.name == declared; }))
            return false;
        prefixes_.push_back({declared, depth});
        values_.truncate(from);
        return true;
    }
    attributes_.append({local, prefix, from, size});
    return true;
}

// Every prefix declared, every attribute once (by local name, which is how they are looked up).
bool LightXmlReader::checkAttributes()
{
    for (qsizetype i = 0; i < attributes_.size(); ++i) {
        const Attribute& a = attributes_[i];
        if (!a.prefix.isEmpty() && a.prefix != QLatin1StringView("xml")
            && std::none_of(prefixes_.begin(), prefixes_.end(), [&](const Prefix& p) { return p.name == a.prefix; }))
            return false;
        for (qsizetype k = 0; k < i; ++k)
            if (attributes_[k].local == a.local)
                return false;
    }
    return true;
}

bool LightXmlReader::readEndTag()
{
    const char* q = p_ + 2;
    QLatin1StringView local;
    if (!readElementName(q, end_, local))
        return false;
    skipSpace(q, end_);
    if (q >= end_ || *q != '>' || open_.empty() || open_.back() != local)
        return false;
    p_ = q + 1;
    name_ = local;
    token_ = Token::End;
    closeElement();
    return true;
}

void LightXmlReader::closeElement()
{
    open_.pop_back();
    while (!prefixes_.empty() && prefixes_.back().depth > static_cast<qsizetype>(open_.size()))
        prefixes_.pop_back();
}

bool LightXmlReader::readText(QString* into)
{
    return readRun(p_, end_, '<', into, Run::Text);
}

void LightXmlReader::readNext()
{
    if (token_ == Token::Done)
        return;
    if (selfClosing_) {
        selfClosing_ = false;
        token_ = Token::End;
        closeElement();
        return;
    }
    if (!started_) {
        started_ = true;
        if (!readDeclaration())
            return giveUp();
    }
    if (open_.empty()) {
        // Before and after the one root element: white space only.
        skipSpace(p_, end_);
        if (p_ == end_ && rootSeen_)
            token_ = Token::Done;
        else if (p_ == end_ || rootSeen_ || *p_ != '<' || !readStartTag())
            giveUp();
        return;
    }
    if (p_ >= end_)
        return giveUp();  // the document ends inside an element
    if (*p_ != '<') {
        if (readText(nullptr))
            token_ = Token::Text;
        else
            giveUp();
        return;
    }
    if (p_ + 1 >= end_ || !(p_[1] == '/' ? readEndTag() : readStartTag()))
        giveUp();
}

QString LightXmlReader::readElementText(QXmlStreamReader::ReadElementTextBehaviour)
{
    if (token_ != Token::Start) {
        giveUp();
        return QString();
    }
    if (selfClosing_) {
        readNext();
        return QString();
    }
    text_.truncate(0);
    for (;;) {
        if (p_ >= end_) {
            giveUp();
            return QString();
        }
        if (*p_ != '<') {
            if (!readText(&text_)) {
                giveUp();
                return QString();
            }
            continue;
        }
        // Only the element's own end: a child element is left to the full reader.
        if (p_ + 1 >= end_ || p_[1] != '/' || !readEndTag()) {
            giveUp();
            return QString();
        }
        return QString(text_.constData(), text_.size());  // as long as it is, not as the scratch
    }
}

bool LightXmlReader::restIsUtf8() const
{
    return !gaveUp_ && isValidUtf8(QByteArrayView(p_, end_ - p_));
}

void LightXmlReader::skipCurrentElement()
{
    int depth = 1;
    while (depth > 0 && !atEnd()) {
        readNext();
        if (isStartElement())
            ++depth;
        else if (isEndElement())
            --depth;
    }
}
