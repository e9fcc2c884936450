#include "ContactIndex.h"

#include "book/ContactScan.h"
#include "book/NameOrder.h"
#include "exchange/pinyin/ContactSearch.h"

ContactIndex::ContactIndex(const QString& path)
{
    std::vector<Entry> read;
    std::vector<bool> nameIsNull;
    ScanContacts(path, [&](const ScannedContact& contact) {
        Entry entry;
        entry.rowid = contact.rowid;
        for (int i = 0; i < ContactTextCount; ++i) {
            entry.starts[size_t(i)] = int(entry.utf8.size());
            entry.utf8 += contact.texts[size_t(i)];
        }
        entry.starts[ContactTextCount] = int(entry.utf8.size());
        read.push_back(std::move(entry));
        nameIsNull.push_back(contact.isNull[size_t(ContactText::Name)]);
    });
    const int name = int(ContactText::Name);
    const std::vector<int> order = InNameOrder(int(read.size()), [&](int row) -> std::optional<QString> {
        if (nameIsNull[size_t(row)])
            return std::nullopt;
        const Entry& entry = read[size_t(row)];
        return QString::fromUtf8(entry.utf8.constData() + entry.starts[name],
                                 entry.starts[name + 1] - entry.starts[name]);
    });
    entries_.reserve(read.size());
    for (const int row : order)
        entries_.push_back(std::move(read[size_t(row)]));
}

QString ContactIndex::text(int contact, ContactText column) const
{
    const Entry& entry = entries_[size_t(contact)];
    const int i = int(column);
    return QString::fromUtf8(entry.utf8.constData() + entry.starts[i], entry.starts[i + 1] - entry.starts[i]);
}

std::vector<int> ContactIndex::find(const QString& typed) const
{
    std::vector<int> found;
    if (typed.isEmpty()) {
        found.resize(entries_.size());
        for (size_t i = 0; i < found.size(); ++i)
            found[i] = int(i);
        return found;
    }
    const ContactSearch search(typed);
    std::array<QByteArrayView, ContactTextCount> texts;
    for (size_t row = 0; row < entries_.size(); ++row) {
        const Entry& entry = entries_[row];
        for (int i = 0; i < ContactTextCount; ++i)
            texts[size_t(i)] = QByteArrayView(entry.utf8.constData() + entry.starts[size_t(i)],
                                              entry.starts[size_t(i) + 1] - entry.starts[size_t(i)]);
        if (search.matches(texts))
            found.push_back(int(row));
    }
    return found;
}
