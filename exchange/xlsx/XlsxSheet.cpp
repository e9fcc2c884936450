#include "XlsxSheet.h"

#include "exchange/ContactDraft.h"
#include "exchange/FileBytes.h"
#include "exchange/sheet/CellNumber.h"

#include <QXmlStreamReader>

namespace {

constexpr int kMaxColumns = 16384;  // XFD, the last column a sheet has
constexpr int kMaxRows = 1048576;

QStringView attributeView(const QXmlStreamAttributes& attributes, QLatin1String name)
{
    for (const QXmlStreamAttribute& a : attributes)
        if (a.name() == name)
            return a.value();
    return QStringView();
}

struct CellRead {
    QString type;  // the t attribute: s, str, inlineStr, b, e, d, n
    int style = 0;
    QString value;  // the <v> text
    QString inlineText;
    bool hasInline = false;
};

QString displayedText(const CellRead& cell, const XlsxParts& parts)
{
    if (cell.hasInline)
        return cell.inlineText;
    if (cell.type == QLatin1String("s")) {
        bool ok = false;
        const int index = cell.value.trimmed().toInt(&ok);
        return ok && index >= 0 && index < parts.sharedStrings.size() ? parts.sharedStrings[index] : QString();
    }
    if (cell.type == QLatin1String("str") || cell.type == QLatin1String("e"))
        return unescapeXlsxString(cell.value);
    if (cell.type == QLatin1String("b"))
        return cell.value.trimmed() == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    if (cell.type == QLatin1String("d")) {
        // An ISO date and time: the date alone when the time is midnight.
        const QString v = cell.value.trimmed();
        return v.size() > 10 && QStringView(v).mid(10).startsWith(QLatin1String("T00:00:00")) ? v.left(10) : v;
    }
    bool ok = false;
    const double number = cell.value.trimmed().toDouble(&ok);
    if (!ok)
        return cell.value;
    const bool isDate = cell.style >= 0 && cell.style < parts.dateStyles.size() && parts.dateStyles[cell.style];
    return isDate ? serialDateText(number, parts.date1904) : numberText(number);
}

void readCell(QXmlStreamReader& xml, CellRead& cell)
{
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("v"))
                cell.value = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            else if (xml.name() == QLatin1String("is")) {
                cell.inlineText = readXlsxInlineText(xml);
                cell.hasInline = true;
            } else if (xml.name() == QLatin1String("f")) {
                xml.skipCurrentElement();  // a formula: its cached value is in <v>
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("c")) {
            return;
        }
    }
}

}  // namespace

int xlsxColumnOf(QStringView reference)
{
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && i < 4; ++i) {
        const QChar c = reference[i].toUpper();
        if (c < QLatin1Char('A') || c > QLatin1Char('Z'))
            break;
        column = column * 26 + (c.unicode() - 'A' + 1);
    }
    if (i == 0 || column > kMaxColumns)
        return -1;
    return column - 1;
}

SheetRows readXlsxSheet(const QByteArray& sheetXml, const XlsxParts& parts, const QString& fileName)
{
    SheetRows sheet;
    readXlsxSheet(sheetXml, parts, fileName, [&](SheetRow&& row) { sheet.rows.append(std::move(row)); });
    return sheet;
}

void readXlsxSheet(const QByteArray& sheetXml, const XlsxParts& parts, const QString& fileName,
                   const std::function<void(SheetRow&&)>& take)
{
    QXmlStreamReader xml(sheetXml);
    int rowNumber = 0;  // 1-based, the row being read
    SheetRow row;
    bool inRow = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("row")) {
            bool ok = false;
            const int r = attributeView(xml.attributes(), QLatin1String("r")).toInt(&ok);
            rowNumber = ok && r > rowNumber && r <= kMaxRows ? r : rowNumber + 1;
            row = SheetRow();
            row.line = rowNumber;
            inRow = true;
        } else if (xml.isStartElement() && xml.name() == QLatin1String("c") && inRow) {
            const QXmlStreamAttributes attributes = xml.attributes();
            const QStringView reference = attributeView(attributes, QLatin1String("r"));
            int column = reference.isEmpty() ? -1 : xlsxColumnOf(reference);
            if (column < 0 || (!row.cells.isEmpty() && column <= row.cells.last().column))
                column = row.cells.isEmpty() ? (reference.isEmpty() ? 0 : -1) : row.cells.last().column + 1;
            CellRead cell;
            cell.type = attributeView(attributes, QLatin1String("t")).toString();
            cell.style = attributeView(attributes, QLatin1String("s")).toInt();
            readCell(xml, cell);
            QString text = displayedText(cell, parts);
            if (column >= 0 && column < kMaxColumns && !text.isEmpty())
                row.cells.append({column, std::move(text)});
        } else if (xml.isEndElement() && xml.name() == QLatin1String("row")) {
            if (!row.cells.isEmpty())
                take(std::move(row));
            row = SheetRow();
            inRow = false;
        } else if (xml.isEndElement() && xml.name() == QLatin1String("sheetData")) {
            break;
        }
    }
    if (xml.hasError())
        throw ExchangeError(cannotReadMessage(
            fileName, QStringLiteral("工作表已损坏（第%1行：%2）").arg(xml.lineNumber()).arg(xml.errorString())));
}
