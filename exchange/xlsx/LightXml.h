#pragma once
// A pull reader for the plain XML that spreadsheet programs write into a
// workbook's parts, some ten times faster than QXmlStreamReader on a large
// sheet. It reads the same tokens the same way (elements by local name,
// attributes without the namespace declarations, text with its entities
// decoded), but only XML it is sure of: UTF-8, elements without a prefix,
// no comments, CDATA, processing instructions or document type, text
// without carriage returns or child elements where it is read whole. On
// anything else, well-formed or not, it gives up instead of guessing, and the
// caller reads the part again with QXmlStreamReader, which knows all of XML
// and names what is wrong with it.

#include <QByteArrayView>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>
#include <QXmlStreamReader>
#include <vector>

class LightXmlReader {
public:
    explicit LightXmlReader(QByteArrayView xml);

    // True at the end of the document, and once the reader gave up.
    bool atEnd() const { return token_ == Token::Done; }
    bool gaveUp() const { return gaveUp_; }

    void readNext();
    bool isStartElement() const { return token_ == Token::Start; }
    bool isEndElement() const { return token_ == Token::End; }
    // The element's local name (the reader gives up on prefixed ones).
    QLatin1StringView name() const { return name_; }
    // At a start element: the attribute's value by local name; empty when it has none.
    QStringView attribute(QLatin1StringView localName) const;

    // At a start element: its text up to its end element, which becomes the
    // current token. Gives up (returning nothing) when the element holds
    // another one; the behaviour is QXmlStreamReader's for the callers' sake.
    QString readElementText(QXmlStreamReader::ReadElementTextBehaviour = QXmlStreamReader::ErrorOnUnexpectedElement);
    // At a start element: reads up to its end element.
    void skipCurrentElement();

    // For a reader that stops before the end: the rest of the document is
    // valid UTF-8 (QXmlStreamReader decodes ahead of what it has read, and
    // fails on a byte it cannot decode even where it would never read).
    bool restIsUtf8() const;

private:
    enum class Token { None, Start, End, Text, Done };
    struct Attribute {
        QLatin1StringView local;
        QLatin1StringView prefix;
        qsizetype from = 0;  // the value in values_
        qsizetype size = 0;
    };
    struct Prefix {
        QLatin1StringView name;
        qsizetype depth = 0;  // of the element that declares it
    };

    void giveUp();
    bool readDeclaration();
    bool readStartTag();
    bool readAttribute(const char*& q);
    bool checkAttributes();
    bool readEndTag();
    void closeElement();
    bool readText(QString* into);

    const char* p_;
    const char* end_;
    Token token_ = Token::None;
    bool gaveUp_ = false;
    bool started_ = false;
    bool rootSeen_ = false;
    bool selfClosing_ = false;  // the start tag just read ends in "/>": its end element comes next
    QLatin1StringView name_;
    QVarLengthArray<Attribute, 8> attributes_;
    QString values_;  // the current start tag's attribute values, decoded
    QString text_;    // scratch for an element's text
    std::vector<QLatin1StringView> open_;
    std::vector<Prefix> prefixes_;
};
