#include "Isolated.h"

#include "exchange/ContactDraft.h"
#include "exchange/FileBytes.h"

#include "platform/IsolatedRun.h"

#include <QDataStream>
#include <QIODevice>

namespace {

// A workbook of 100,000 contacts takes a few seconds; a reader still busy after this is stuck.
constexpr int kTimeoutMs = 120 * 1000;

enum Outcome : qint32 { Rows = 0, Refused = 1 };

QByteArray encode(const SheetRows& sheet)
{
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream << qint32(Rows) << qint32(sheet.rows.size());
    for (const SheetRow& row : sheet.rows) {
        stream << qint32(row.line) << qint32(row.cells.size());
        for (const SheetCell& cell : row.cells)
            stream << qint32(cell.column) << cell.text;
    }
    stream << qint32(sheet.failures.size());
    for (const SheetRows::Failure& f : sheet.failures)
        stream << qint32(f.line) << f.reason;
    return out;
}

QByteArray encodeRefusal(const QString& message)
{
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream << qint32(Refused) << message;
    return out;
}

// The child's answer; false when it is cut short or malformed.
bool decode(const QByteArray& bytes, SheetRows& sheet, QString& refusal)
{
    QDataStream stream(bytes);
    qint32 outcome = -1, count = 0;
    stream >> outcome;
    if (outcome == Refused) {
        stream >> refusal;
        return stream.status() == QDataStream::Ok;
    }
    stream >> count;
    for (qint32 r = 0; r < count && stream.status() == QDataStream::Ok; ++r) {
        SheetRow row;
        qint32 line = 0, cells = 0;
        stream >> line >> cells;
        row.line = line;
        for (qint32 c = 0; c < cells && stream.status() == QDataStream::Ok; ++c) {
            qint32 column = 0;
            QString text;
            stream >> column >> text;
            row.cells.append({column, text});
        }
        sheet.rows.append(std::move(row));
    }
    stream >> count;
    for (qint32 f = 0; f < count && stream.status() == QDataStream::Ok; ++f) {
        qint32 line = 0;
        QString reason;
        stream >> line >> reason;
        sheet.failures.append({line, reason});
    }
    return outcome == Rows && stream.status() == QDataStream::Ok && stream.atEnd();
}

}  // namespace

SheetRows runIsolated(const QString& fileName, const std::function<SheetRows()>& read)
{
    const IsolatedRun run = RunIsolated(
        [&] {
            try {
                return encode(read());
            } catch (const ExchangeError& e) {
                return encodeRefusal(e.Message);
            }
        },
        kTimeoutMs);
    if (!run.started)
        throw ExchangeError(cannotReadMessage(fileName, run.startError));
    SheetRows sheet;
    QString refusal;
    if (!run.answered || !run.exitedCleanly || !decode(run.answer, sheet, refusal))
        throw ExchangeError(cannotReadMessage(fileName, QStringLiteral("工作簿已损坏，无法读取")));
    if (!refusal.isEmpty())
        throw ExchangeError(refusal);
    return sheet;
}
