#include "BareBiffReader.h"

#include "platform/Gbk.h"
#include "platform/Trim.h"

#include <QtEndian>
#include <map>

namespace {

constexpr quint16 kBof8 = 0x0809, kEof = 0x000A, kLabel = 0x0204;
// BOF records of the older BIFF versions, which a stream may start with as well.
constexpr quint16 kOlderBofs[] = {0x0009, 0x0209, 0x0409};

quint16 le16(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

bool isBof(quint16 id)
{
    if (id == kBof8)
        return true;
    for (quint16 older : kOlderBofs)
        if (id == older)
            return true;
    return false;
}

}  // namespace

bool looksLikeBareBiff(const QByteArray& bytes)
{
    return bytes.size() >= 4 && isBof(le16(bytes, 0));
}

SheetRows readBareBiff(const QByteArray& bytes)
{
    std::map<int, std::map<int, QString>> cells;  // row, column: sorted, the last cell of a place wins
    bool ended = false;
    qsizetype at = 0;
    while (at + 4 <= bytes.size()) {
        const quint16 id = le16(bytes, at), length = le16(bytes, at + 2);
        const qsizetype body = at + 4;
        if (body + length > bytes.size())
            break;  // a record cut off
        at = body + length;
        if (id == kEof) {
            ended = true;
            break;
        }
        if (id != kLabel || length < 8)
            continue;
        const quint16 row = le16(bytes, body), column = le16(bytes, body + 2), textLength = le16(bytes, body + 6);
        const qsizetype text = body + 8;
        if (text + textLength > at)
            continue;  // a text longer than its record: not a cell we can read
        cells[row][column] = TrimControl(fromGbk(bytes.mid(text, textLength)));
    }

    SheetRows sheet;
    for (auto& [row, columns] : cells) {
        SheetRow sheetRow;
        sheetRow.line = row + 1;
        for (auto& [column, text] : columns)
            sheetRow.cells.append({column, std::move(text)});
        sheet.rows.append(std::move(sheetRow));
    }
    if (!ended) {
        const int next = cells.empty() ? 1 : cells.rbegin()->first + 2;
        sheet.failures.append({next, QStringLiteral("文件在此处中断(没有结束记录),后面的行可能已经丢失")});
    }
    return sheet;
}
