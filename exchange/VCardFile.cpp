#include "VCardFile.h"

#include "exchange/FileBytes.h"
#include "exchange/vcard/VCardReader.h"
#include "exchange/vcard/VCardWriter.h"

DraftSet ReadVCardFile(const QString& path)
{
    return readVCards(ReadWholeFile(path));
}

void WriteVCardFile(const QString& path, const QList<StoredContact>& contacts)
{
    QFile file(path);
    OpenForWriting(file);
    writeVCards(file, contacts);
    FinishWriting(file);
}
