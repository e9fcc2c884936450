#include "VCardFile.h"

#include "exchange/FileBytes.h"
#include "exchange/vcard/VCardReader.h"
#include "exchange/vcard/VCardWriter.h"

DraftSet ReadVCardFile(const QString& path)
{
    DraftGathering gathered;
    StreamVCardFile(path, gathered);
    return std::move(gathered.set);
}

QStringList StreamVCardFile(const QString& path, DraftSink& sink)
{
    QFile file(path);
    OpenForReading(file);
    readVCards(file, sink);
    CheckReading(file);
    return {};
}

void WriteVCardFile(const QString& path, const QList<StoredContact>& contacts)
{
    QFile file(path);
    OpenForWriting(file);
    writeVCards(file, contacts);
    FinishWriting(file);
}
