#include "CardText.h"

#include "exchange/vcard/VCardLines.h"
#include "exchange/vcard/VCardOutput.h"

#include <QBuffer>
#include <QMap>
#include <algorithm>

QList<CardLine> SplitCard(const QByteArray& card)
{
    QList<CardLine> lines;
    VCardLineReader reader{QByteArrayView(card)};
    ContentLine line;
    while (reader.next(line)) {
        std::optional<VCardProperty> property = parseProperty(line);
        if (!property)
            continue;
        const bool end = property->name == "END";
        lines.append({line.text, std::move(*property)});
        if (end)
            break;
    }
    return lines;
}

QByteArray LineHead(const CardLine& line)
{
    return line.text.first(std::max<qsizetype>(0, line.text.size() - line.property.value.size() - 1));
}

QByteArray JoinCard(const QList<CardLine>& lines)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    VCardOutput out(buffer);
    for (const CardLine& line : lines)
        out.line(LineHead(line), line.property.value);
    out.flush();
    return bytes;
}

CardLine MakeCardLine(const QByteArray& head, const QByteArray& value)
{
    const QByteArray text = head + ':' + value;
    ContentLine content{0, text};
    std::optional<VCardProperty> property = parseProperty(content);
    return {text, property.value_or(VCardProperty{})};
}

QByteArray NormalisedCard(const QByteArray& card)
{
    QList<QByteArray> kept;
    for (const CardLine& line : SplitCard(card)) {
        const VCardProperty& p = line.property;
        if (p.name == "PRODID" || p.name == "REV")
            continue;
        QByteArray text = p.group.toUpper();
        if (!text.isEmpty())
            text += '.';
        text += p.name;
        // TYPE=CELL;TYPE=pref and TYPE=cell,PREF say the same.
        QMap<QByteArray, QList<QByteArray>> parameters;
        for (const VCardParameter& parameter : p.parameters)
            for (const QByteArray& value : parameter.values)
                parameters[parameter.name].append(parameter.name == "TYPE" ? value.toUpper() : value);
        for (auto it = parameters.begin(); it != parameters.end(); ++it) {
            std::sort(it->begin(), it->end());
            text += ';' + it.key() + '=' + it->join(',');
        }
        text += ':' + p.value;
        kept.append(text);
    }
    std::sort(kept.begin(), kept.end());
    return kept.join('\n');
}

namespace {

QByteArray firstValue(const QList<CardLine>& lines, QByteArrayView name)
{
    for (const CardLine& line : lines)
        if (line.property.name == name)
            return line.property.value.trimmed();
    return {};
}

}  // namespace

QByteArray CardUid(const QByteArray& card)
{
    return firstValue(SplitCard(card), "UID");
}

bool IsGroupCard(const QByteArray& card)
{
    const QList<CardLine> lines = SplitCard(card);
    return firstValue(lines, "X-ADDRESSBOOKSERVER-KIND").compare("group", Qt::CaseInsensitive) == 0
           || firstValue(lines, "KIND").compare("group", Qt::CaseInsensitive) == 0;
}

QList<VCardProperty> PropertiesOf(const QList<CardLine>& lines)
{
    QList<VCardProperty> properties;
    properties.reserve(lines.size());
    for (const CardLine& line : lines)
        properties.append(line.property);
    return properties;
}
