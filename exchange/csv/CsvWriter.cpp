#include "CsvWriter.h"

#include "exchange/ExportTable.h"
#include "exchange/FileBytes.h"

namespace {

bool needsQuotes(const QString& text)
{
    if (text.isEmpty())
        return false;
    if (text.front().isSpace() || text.back().isSpace())
        return true;  // some readers drop unquoted blanks at the ends
    for (QChar c : text)
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            return true;
    return false;
}

void appendField(QByteArray& out, const QString& text)
{
    if (!needsQuotes(text)) {
        out += text.toUtf8();
        return;
    }
    out += '"';
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    out += doubled.toUtf8();
    out += '"';
}

void appendRecord(QByteArray& out, const QStringList& texts)
{
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (i > 0)
            out += ',';
        appendField(out, texts[i]);
    }
    out += "\r\n";
}

}  // namespace

QByteArray csvBytes(const QList<StoredContact>& contacts)
{
    QByteArray out("\xEF\xBB\xBF");
    out.reserve(64 + contacts.size() * 96);
    const ExportTable table = ExportTableOf(contacts);
    appendRecord(out, table.header);
    for (const QStringList& row : table.rows)
        appendRecord(out, row);
    return out;
}

void writeCsvFile(const QString& path, const QList<StoredContact>& contacts)
{
    const QByteArray bytes = csvBytes(contacts);
    QFile file(path);
    OpenForWriting(file);
    if (file.write(bytes) != bytes.size())
        throw ExchangeError(cannotWriteMessage(path, file.errorString()));
    FinishWriting(file);
}
