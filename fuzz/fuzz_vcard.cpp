// readVCards on any bytes, whatever line ends, comments, bare line breaks and
// backslash continuations they hold: never crashes, never reads past its
// input; every card it reads, written out again and read back, gives the same
// columns (line breaks aside: a vCard has one kind, and a number none) and the
// same photo bytes. The name and the note are compared only when the note holds
// no "label:value" the export lifts into properties of their own. Read from a
// device, in pieces, the bytes give the same cards and failures.

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

QString withoutLineBreaks(QString text)
{
    return oneKindOfLineBreak(text).replace(QLatin1Char('\n'), QLatin1Char(' '));
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
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    DraftGathering pieces;
    readVCards(device, pieces);
    if (pieces.set.drafts.size() != set.drafts.size() || pieces.set.failures.size() != set.failures.size())
        std::abort();
    for (qsizetype i = 0; i < set.drafts.size(); ++i) {
        const ContactDraft& a = pieces.set.drafts[i];
        const ContactDraft& b = set.drafts[i];
        if (a.line != b.line || a.texts != b.texts || a.extras != b.extras || a.photo != b.photo || a.said != b.said)
            std::abort();
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
        const bool lifted = contacts[i].text(ContactText::Note).contains(QLatin1Char(':'))
                            || contacts[i].text(ContactText::Name).trimmed().isEmpty();
        for (int t = 0; t < ContactTextCount; ++t) {
            const QString& was = contacts[i].texts[t];
            const QString& is = again.drafts[i].texts[t];
            if (lifted && (t == int(ContactText::Name) || t == int(ContactText::Note)))
                continue;
            if (t == int(ContactText::Phone) ? withoutLineBreaks(was) != withoutLineBreaks(is)
                                             : oneKindOfLineBreak(was) != oneKindOfLineBreak(is))
                std::abort();
        }
    }
    return 0;
}
