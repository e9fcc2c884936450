#pragma once
// What the workbook's readers do alike with either XML reader: the fast one
// for the XML spreadsheet programs write (LightXml.h), and QXmlStreamReader
// for any other, which takes over where the fast one gives up.

#include "exchange/xlsx/LightXml.h"
#include "exchange/xlsx/XlsxParts.h"

#include <QString>
#include <QXmlStreamReader>

// The value of an attribute of the current start element, by local name; empty when it has none.
inline QString xmlAttribute(const QXmlStreamReader& xml, QLatin1StringView name)
{
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name() == name)
            return a.value().toString();
    return QString();
}

inline QStringView xmlAttribute(const LightXmlReader& xml, QLatin1StringView name)
{
    return xml.attribute(name);
}

// At the start of an <si> or <is>: its text, read up to its end element: its
// <t>, or the <t> of its runs, without phonetic runs (<rPh>).
template <class Xml>
QString readXlsxInlineText(Xml& xml)
{
    QString text;
    const QString end = xml.name().toString();
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1StringView("rPh"))
                ++phonetic;
            else if (xml.name() == QLatin1StringView("t") && phonetic == 0)
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1StringView("rPh"))
                --phonetic;
            else if (xml.name() == end)
                break;
        }
    }
    return unescapeXlsxString(text);
}
