#include "VCardFile.h"

#include "FileBytes.h"

#if __has_include("vcard/VCardReader.h")
#include "vcard/VCardReader.h"
#include "vcard/VCardWriter.h"
#else
// Until the codec is in: a clear refusal instead of a wrong file.
static DraftSet readVCards(const QByteArray&) { throw ExchangeError(QStringLiteral("尚不能读取 vCard 文件")); }
static void writeVCards(QIODevice&, const QList<StoredContact>&)
{
    throw ExchangeError(QStringLiteral("尚不能写出 vCard 文件"));
}
#endif

DraftSet ReadVCardFile(const QString& path) { return readVCards(ReadWholeFile(path)); }

void WriteVCardFile(const QString& path, const QList<StoredContact>& contacts)
{
    QFile file(path);
    OpenForWriting(file);
    writeVCards(file, contacts);
    FinishWriting(file);
}
