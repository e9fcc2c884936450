#include "XlsxSheet.h"

#include "exchange/ContactDraft.h"
#include "exchange/FileBytes.h"
#include "exchange/sheet/CellNumber.h"
#include "exchange/xlsx/XlsxXml.h"

#include <QXmlStreamReader>

namespace {

constexpr int kMaxColumns = 16384;  // XFD, the last column a sheet has
constexpr int kMaxRows = 1048576;

// The t attribute, as far as the text shown depends on it; anything else (n,
// inlineStr without its <is>, none) is a number.
enum class CellType { Number, Shared, Text, Error, Boolean, Date };

template <class View>
CellType cellType(const View& t)
{
    if (t == QLatin1StringView("s"))
        return CellType::Shared;
    if (t == QLatin1StringView("str"))
        return CellType::Text;
    if (t == QLatin1StringView("e"))
        return CellType::Error;
    if (t == QLatin1StringView("b"))
        return CellType::Boolean;
    if (t == QLatin1StringView("d"))
        return CellType::Date;
    return CellType::Number;
}

struct CellRead {
    CellType type = CellType::Number;
    int style = 0;
    QString value;  // the <v> text
    QString inlineText;
    bool hasInline = false;
};

QString displayedText(const CellRead& cell, const XlsxParts& parts)
{
    if (cell.hasInline)
        return cell.inlineText;
    if (cell.type == CellType::Shared) {
        bool ok = false;
        const int index = cell.value.trimmed().toInt(&ok);
        return ok && index >= 0 && index < parts.sharedStrings.size() ? parts.sharedStrings[index] : QString();
    }
    if (cell.type == CellType::Text || cell.type == CellType::Error)
        return unescapeXlsxString(cell.value);
    if (cell.type == CellType::Boolean)
        return cell.value.trimmed() == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    if (cell.type == CellType::Date) {
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

template <class Xml>
void readCell(Xml& xml, CellRead& cell)
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

// The rows, each handed to take at its end, up to the end of the sheet's data.
template <class Xml>
void readRows(Xml& xml, const XlsxParts& parts, const std::function<void(SheetRow&&)>& take)
{
    int rowNumber = 0;  // 1-based, the row being read
    SheetRow row;
    bool inRow = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1StringView("row")) {
            bool ok = false;
            const int r = xmlAttribute(xml, QLatin1StringView("r")).toInt(&ok);
            rowNumber = ok && r > rowNumber && r <= kMaxRows ? r : rowNumber + 1;
            row = SheetRow();
            row.line = rowNumber;
            inRow = true;
        } else if (xml.isStartElement() && xml.name() == QLatin1StringView("c") && inRow) {
            const auto reference = xmlAttribute(xml, QLatin1StringView("r"));
            int column = reference.isEmpty() ? -1 : xlsxColumnOf(reference);
            if (column < 0 || (!row.cells.isEmpty() && column <= row.cells.last().column))
                column = row.cells.isEmpty() ? (reference.isEmpty() ? 0 : -1) : row.cells.last().column + 1;
            CellRead cell;
            cell.type = cellType(xmlAttribute(xml, QLatin1StringView("t")));
            cell.style = xmlAttribute(xml, QLatin1StringView("s")).toInt();
            readCell(xml, cell);
            QString text = displayedText(cell, parts);
            if (column >= 0 && column < kMaxColumns && !text.isEmpty())
                row.cells.append({column, std::move(text)});
        } else if (xml.isEndElement() && xml.name() == QLatin1StringView("row")) {
            if (!row.cells.isEmpty())
                take(std::move(row));
            row = SheetRow();
            inRow = false;
        } else if (xml.isEndElement() && xml.name() == QLatin1StringView("sheetData")) {
            break;
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

bool readXlsxSheetLightly(const QByteArray& sheetXml, const XlsxParts& parts,
                          const std::function<void(SheetRow&&)>& take)
{
    LightXmlReader xml(sheetXml);
    readRows(xml, parts, take);
    return xml.restIsUtf8();
}

void readXlsxSheetFully(const QByteArray& sheetXml, const XlsxParts& parts, const QString& fileName,
                        const std::function<void(SheetRow&&)>& take)
{
    QXmlStreamReader xml(sheetXml);
    readRows(xml, parts, take);
    if (xml.hasError())
        throw ExchangeError(cannotReadMessage(
            fileName, QStringLiteral("工作表已损坏（第%1行：%2）").arg(xml.lineNumber()).arg(xml.errorString())));
}

SheetRows readXlsxSheet(const QByteArray& sheetXml, const XlsxParts& parts, const QString& fileName)
{
    SheetRows sheet;
    const auto append = [&](SheetRow&& row) { sheet.rows.append(std::move(row)); };
    if (!readXlsxSheetLightly(sheetXml, parts, append)) {
        sheet.rows.clear();
        readXlsxSheetFully(sheetXml, parts, fileName, append);
    }
    return sheet;
}
