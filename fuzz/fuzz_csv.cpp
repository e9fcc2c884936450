// CSV import on any bytes: never reads out of bounds, never crashes, refuses
// with ExchangeError only; and the texts it reads, each row given a name, come
// back the same through our own CSV export and import.

#include "exchange/csv/CsvReader.h"
#include "exchange/csv/CsvWriter.h"
#include "platform/Trim.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

namespace {

bool hasText(const StoredContact& contact)
{
    for (const QString& t : contact.texts)
        if (!TrimControl(t).isEmpty())
            return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    DraftSet set;
    try {
        set = readCsvBytes(bytes, QStringLiteral("fuzz.csv"));
    } catch (const ExchangeError&) {
        return 0;
    }
    QList<StoredContact> contacts;
    for (const ContactDraft& draft : set.drafts) {
        if (draft.line < 1)
            std::abort();
        StoredContact c;
        for (int i = 0; i < ContactTextCount; ++i)
            c.texts[i] = QString::fromUtf8(draft.texts[i].toUtf8());  // as UTF-8 can carry it
        // fromUtf8 drops a leading U+FEFF, so a cell holding only that is blank
        // here: a blank row is not written back, so it is not compared.
        if (!hasText(c))
            continue;
        // A name keeps the row from reading as a section title (one cell in the
        // first column) or as the header written again.
        if (TrimControl(c.texts[1]).isEmpty() || TrimControl(c.texts[1]) == QStringLiteral("姓名"))
            c.texts[1] = QStringLiteral("名");
        contacts.append(c);
    }
    const DraftSet again = readCsvBytes(csvBytes(contacts), QStringLiteral("again.csv"));
    if (again.drafts.size() != contacts.size() || !again.failures.isEmpty())
        std::abort();
    for (qsizetype i = 0; i < contacts.size(); ++i)
        if (again.drafts[i].texts != contacts[i].texts)
            std::abort();
    return 0;
}
