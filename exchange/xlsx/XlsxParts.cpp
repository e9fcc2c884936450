#include "XlsxParts.h"

#include "exchange/ContactDraft.h"
#include "exchange/FileBytes.h"
#include "exchange/sheet/CellNumber.h"
#include "exchange/xlsx/XlsxXml.h"

#include <QDir>
#include <QHash>
#include <QXmlStreamReader>
#include <cctype>

namespace {

[[noreturn]] void damaged(const QString& fileName, const QString& part, const QXmlStreamReader& xml)
{
    throw ExchangeError(cannotReadMessage(
        fileName,
        QStringLiteral("工作簿的“%1”部分已损坏（第%2行：%3）").arg(part).arg(xml.lineNumber()).arg(xml.errorString())));
}

QString attribute(const QXmlStreamReader& xml, QLatin1String name)
{
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name() == name)
            return a.value().toString();
    return QString();
}

// A relationship's target: relative to the folder of the part that names it, or absolute from the root.
QString resolveTarget(const QString& baseFolder, const QString& target)
{
    if (target.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(target.mid(1));
    return QDir::cleanPath(baseFolder.isEmpty() ? target : baseFolder + QLatin1Char('/') + target);
}

QString folderOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : part.left(slash);
}

QString relsPathOf(const QString& part)
{
    const QString folder = folderOf(part);
    const QString name = part.mid(folder.isEmpty() ? 0 : folder.size() + 1);
    return (folder.isEmpty() ? QString() : folder + QLatin1Char('/')) + QStringLiteral("_rels/") + name
           + QStringLiteral(".rels");
}

struct Relationship {
    QString id, type, target;
};

QList<Relationship> readRelationships(const ZipArchive& archive, const QString& part, const QString& fileName)
{
    QList<Relationship> out;
    const QString rels = relsPathOf(part);
    if (!archive.contains(rels))
        return out;
    QXmlStreamReader xml(archive.read(rels));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("Relationship"))
            out.append({attribute(xml, QLatin1String("Id")), attribute(xml, QLatin1String("Type")),
                        resolveTarget(folderOf(part), attribute(xml, QLatin1String("Target")))});
    }
    if (xml.hasError())
        damaged(fileName, rels, xml);
    return out;
}

QString targetOfType(const QList<Relationship>& rels, QLatin1String typeEnd)
{
    for (const Relationship& r : rels)
        if (r.type.endsWith(typeEnd))
            return r.target;
    return QString();
}

template <class Xml>
QStringList readSharedStrings(Xml& xml)
{
    QStringList strings;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1StringView("si"))
            strings.append(readXlsxInlineText(xml));
    }
    return strings;
}

QStringList readSharedStrings(const QByteArray& bytes, const QString& fileName, const QString& part)
{
    LightXmlReader light(bytes);
    QStringList strings = readSharedStrings(light);
    if (!light.gaveUp())
        return strings;
    QXmlStreamReader xml(bytes);
    strings = readSharedStrings(xml);
    if (xml.hasError())
        damaged(fileName, part, xml);
    return strings;
}

QList<bool> readDateStyles(const QByteArray& bytes, const QString& fileName, const QString& part)
{
    QHash<int, bool> customFormats;  // numFmtId -> shows a date
    QList<bool> styles;
    bool inCellXfs = false;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("numFmt"))
                customFormats.insert(attribute(xml, QLatin1String("numFmtId")).toInt(),
                                     isDateFormatCode(attribute(xml, QLatin1String("formatCode"))));
            else if (xml.name() == QLatin1String("cellXfs"))
                inCellXfs = true;
            else if (inCellXfs && xml.name() == QLatin1String("xf")) {
                const int id = attribute(xml, QLatin1String("numFmtId")).toInt();
                styles.append(customFormats.contains(id) ? customFormats.value(id) : isBuiltInDateFormat(id));
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("cellXfs")) {
            inCellXfs = false;
        }
    }
    if (xml.hasError())
        damaged(fileName, part, xml);
    return styles;
}

}  // namespace

bool isXlsxEscapeAt(const QString& text, qsizetype i)
{
    if (i + 6 >= text.size() || text[i] != QLatin1Char('_') || text[i + 1] != QLatin1Char('x')
        || text[i + 6] != QLatin1Char('_'))
        return false;
    for (qsizetype k = i + 2; k < i + 6; ++k)
        if (!isxdigit(text[k].unicode() < 0x80 ? text[k].toLatin1() : 'g'))
            return false;
    return true;
}

QString unescapeXlsxString(const QString& text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isXlsxEscapeAt(text, i)) {
            out += QChar(text.mid(i + 2, 4).toUShort(nullptr, 16));
            i += 6;
            continue;
        }
        out += text[i];
    }
    return out;
}

XlsxParts readXlsxParts(const ZipArchive& archive, const QString& fileName)
{
    XlsxParts parts;
    QString workbook = targetOfType(readRelationships(archive, QString(), fileName), QLatin1String("/officeDocument"));
    if (workbook.isEmpty())
        workbook = QStringLiteral("xl/workbook.xml");
    const QList<Relationship> rels = readRelationships(archive, workbook, fileName);

    QString firstSheetId;
    QXmlStreamReader xml(archive.read(workbook));
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("workbookPr")) {
            const QString v = attribute(xml, QLatin1String("date1904"));
            parts.date1904 = v == QLatin1String("1") || v == QLatin1String("true");
        } else if (xml.name() == QLatin1String("sheet") && firstSheetId.isEmpty()) {
            for (const QXmlStreamAttribute& a : xml.attributes())
                if (a.name() == QLatin1String("id") && !a.prefix().isEmpty())
                    firstSheetId = a.value().toString();
        }
    }
    if (xml.hasError())
        damaged(fileName, workbook, xml);
    for (const Relationship& r : rels)
        if (r.id == firstSheetId)
            parts.sheetPath = r.target;
    if (parts.sheetPath.isEmpty() || !archive.contains(parts.sheetPath))
        throw ExchangeError(cannotReadMessage(fileName, QStringLiteral("工作簿中没有工作表")));

    QString strings = targetOfType(rels, QLatin1String("/sharedStrings"));
    if (strings.isEmpty() && archive.contains(QStringLiteral("xl/sharedStrings.xml")))
        strings = QStringLiteral("xl/sharedStrings.xml");
    if (!strings.isEmpty() && archive.contains(strings))
        parts.sharedStrings = readSharedStrings(archive.read(strings), fileName, strings);
    const QString styles = targetOfType(rels, QLatin1String("/styles"));
    if (!styles.isEmpty() && archive.contains(styles))
        parts.dateStyles = readDateStyles(archive.read(styles), fileName, styles);
    return parts;
}
