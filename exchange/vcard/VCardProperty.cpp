#include "VCardProperty.h"

#include "exchange/vcard/VCardLines.h"

#include <array>
#include <cstring>
#include <span>

namespace {

// The names and parameter values that nearly every card repeats are held
// once, as constants: a property read in is then mostly its value, not a
// handful of small copies allocated in one thread and freed in another.
template <std::size_t N>
std::array<QByteArray, N> constants(const char* const (&texts)[N])
{
    std::array<QByteArray, N> held;
    for (std::size_t i = 0; i < N; ++i)
        held[i] = QByteArray::fromRawData(texts[i], qsizetype(std::strlen(texts[i])));
    return held;
}

std::span<const QByteArray> commonNames()
{
    static const auto names =
        constants({"BEGIN", "END",      "VERSION", "FN",   "N",     "TEL",     "EMAIL",      "ADR",
                   "PHOTO", "ORG",      "TITLE",   "NOTE", "BDAY",  "URL",     "CATEGORIES", "NICKNAME",
                   "X-QQ",  "IMPP",     "LABEL",   "REV",  "UID",   "PRODID",  "X-ABLABEL",  "X-ANDROID-CUSTOM",
                   "TYPE",  "ENCODING", "CHARSET", "PREF", "VALUE", "LANGUAGE"});
    return names;
}

std::span<const QByteArray> commonValues()
{
    static const auto values = constants({"CELL",     "HOME",   "WORK", "VOICE",    "FAX",    "PREF",
                                          "INTERNET", "JPEG",   "PNG",  "B",        "BASE64", "QUOTED-PRINTABLE",
                                          "UTF-8",    "GB2312", "GBK",  "cell",     "home",   "work",
                                          "voice",    "fax",    "pref", "internet", "jpeg",   "png",
                                          "b",        "uri",    "text"});
    return values;
}

QByteArray held(QByteArrayView text, std::span<const QByteArray> common)
{
    for (const QByteArray& constant : common) {
        if (constant.size() == text.size() && !text.isEmpty() && constant.front() == text.front()
            && QByteArrayView(constant) == text)
            return constant;
    }
    return text.toByteArray();
}

// A property's or parameter's name in upper case.
QByteArray upperName(QByteArrayView name)
{
    char upper[32];
    if (name.size() > qsizetype(sizeof upper))
        return name.toByteArray().toUpper();
    for (qsizetype i = 0; i < name.size(); ++i)
        upper[i] = (name[i] >= 'a' && name[i] <= 'z') ? char(name[i] - 32) : name[i];
    return held(QByteArrayView(upper, name.size()), commonNames());
}

// Each piece between the separators that are not inside double quotes, in order.
template <typename Visit>
void eachOutsideQuotes(QByteArrayView text, char separator, Visit visit)
{
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == separator && !quoted) {
            visit(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    visit(text.sliced(start));
}

QByteArray unquoted(QByteArrayView value)
{
    QByteArrayView v = value.trimmed();
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        v = v.sliced(1, v.size() - 2);
    return held(v, commonValues());
}

// A bare version 2.1 parameter names an encoding, a character set or a type.
QByteArray nameOfBareParameter(const QByteArray& upperValue)
{
    if (upperValue == "QUOTED-PRINTABLE" || upperValue == "BASE64" || upperValue == "8BIT" || upperValue == "7BIT"
        || upperValue == "B")
        return upperName("ENCODING");
    return upperName("TYPE");
}

VCardParameter parseParameter(QByteArrayView text)
{
    VCardParameter parameter;
    const qsizetype equals = text.indexOf('=');
    if (equals < 0) {
        const QByteArray value = unquoted(text);
        parameter.name = nameOfBareParameter(value.toUpper());
        parameter.values.append(value);
        return parameter;
    }
    parameter.name = upperName(text.first(equals).trimmed());
    // TYPE lists may stand inside one pair of quotes: TYPE="cell,voice".
    const bool list = parameter.name == "TYPE";
    eachOutsideQuotes(text.sliced(equals + 1), ',', [&](QByteArrayView value) {
        const QByteArray plain = unquoted(value);
        if (list && plain.contains(',')) {
            for (const QByteArray& type : plain.split(','))
                parameter.values.append(type);
        } else
            parameter.values.append(plain);
    });
    return parameter;
}

}  // namespace

QByteArray VCardProperty::parameter(QByteArrayView wanted) const
{
    for (const VCardParameter& p : parameters) {
        if (p.name == wanted && !p.values.isEmpty())
            return p.values.first();
    }
    return QByteArray();
}

bool VCardProperty::hasParameter(QByteArrayView wanted) const
{
    for (const VCardParameter& p : parameters) {
        if (p.name == wanted)
            return true;
    }
    return false;
}

bool VCardProperty::hasType(QByteArrayView type) const
{
    for (const VCardParameter& p : parameters) {
        if (QByteArrayView(p.name) != "TYPE")
            continue;
        for (const QByteArray& value : p.values) {
            if (value.compare(type, Qt::CaseInsensitive) == 0)
                return true;
        }
    }
    return false;
}

std::optional<VCardProperty> parseProperty(const ContentLine& line)
{
    return parseProperty(ContentLine(line));
}

std::optional<VCardProperty> parseProperty(ContentLine&& line)
{
    const QByteArrayView text(line.text);
    // The value starts after the first colon that is not inside a quoted parameter value.
    qsizetype colon = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon < 0) {
        // An unmatched quote must not hide the colon of a plain line.
        colon = text.indexOf(':');
        if (colon < 0)
            return std::nullopt;
    }
    // The name, then the parameters.
    VCardProperty property;
    QByteArrayView name;
    bool named = false;
    eachOutsideQuotes(text.first(colon), ';', [&](QByteArrayView piece) {
        if (!named)
            name = piece.trimmed();
        else if (!piece.trimmed().isEmpty())
            property.parameters.append(parseParameter(piece));
        named = true;
    });
    const qsizetype dot = name.lastIndexOf('.');
    if (dot >= 0) {
        property.group = name.first(dot).toByteArray();
        name = name.sliced(dot + 1);
    }
    if (name.isEmpty())
        return std::nullopt;
    property.line = line.line;
    property.name = upperName(name);
    if (colon + 1 == text.size()) {
        property.value = text.sliced(colon + 1).toByteArray();
        return property;
    }
    // The value keeps the line's bytes, its head dropped in place: a picture's base64 is not copied again.
    property.value = std::move(line.text);
    property.value.remove(0, colon + 1);
    return property;
}
