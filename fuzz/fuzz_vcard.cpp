// readVCards on any bytes: never crashes, never reads past its input; every
// card it reads, written out again and read back, gives the same texts (line
// breaks aside: a vCard has one kind) and the same photo bytes.

#include "exchange/vcard/VCardReader.h"
#include "exchange/vcard/VCardWriter.h"

#include <QBuffer>
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

namespace {

QString oneKindOfLineBreak(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    DraftSet set;
    try {
        set = readVCards(bytes);
    } catch (const ExchangeError&) {
        return 0;
    }
    QList<StoredContact> contacts;
    for (const ContactDraft& draft : set.drafts) {
        StoredContact contact;
        contact.texts = draft.texts;
        contact.photo = draft.photo;
        contacts.append(contact);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeVCards(buffer, contacts);
    const DraftSet again = readVCards(buffer.data());
    if (again.drafts.size() != contacts.size() || !again.failures.isEmpty())
        std::abort();
    for (qsizetype i = 0; i < contacts.size(); ++i) {
        if (again.drafts[i].photo != contacts[i].photo)
            std::abort();
        for (int t = 0; t < ContactTextCount; ++t) {
            if (oneKindOfLineBreak(again.drafts[i].texts[t]) != oneKindOfLineBreak(contacts[i].texts[t]))
                std::abort();
        }
    }
    return 0;
}
