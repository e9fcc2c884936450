#include "CsvWriter.h"

#include "exchange/FileBytes.h"
#include "store/ContactSchema.h"

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

void appendRecord(QByteArray& out, const std::array<QString, ContactTextCount>& texts)
{
    for (int i = 0; i < ContactTextCount; ++i) {
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
    std::array<QString, ContactTextCount> header;
    for (int i = 0; i < ContactTextCount; ++i)
        header[i] = ContactTextColumns()[i];
    appendRecord(out, header);
    for (const StoredContact& contact : contacts)
        appendRecord(out, contact.texts);
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
