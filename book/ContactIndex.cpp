#include "ContactIndex.h"

#include "book/ContactScan.h"
#include "book/NameOrder.h"
#include "exchange/pinyin/ContactSearch.h"
#include "platform/TextRules.h"

#include <algorithm>

namespace {

struct Read {
    QByteArray texts;  // the seven, each ended by a zero byte
    qint64 rowid = 0;
    bool nameIsNull = false;
    QString name;
};

}  // namespace

ContactIndex::ContactIndex(const QString& path)
{
    std::vector<Read> read;
    ScanContacts(path, [&](const ScannedContact& contact) {
        Read r;
        const auto add = [&](QByteArrayView text) {
            const qsizetype at = r.texts.size();
            r.texts += text;
            if (text.contains('\0'))  // a zero byte stored inside a text shows as a blank
                std::replace(r.texts.begin() + at, r.texts.end(), '\0', ' ');
            r.texts += '\0';
        };
        for (const QByteArrayView text : contact.texts)
            add(text);
        for (const QByteArray& value : contact.kept)  // searched, never shown as a column
            add(value);
        r.rowid = contact.rowid;
        r.nameIsNull = contact.isNull[size_t(ContactText::Name)];
        r.name = QString::fromUtf8(contact.texts[size_t(ContactText::Name)]);
        read.push_back(std::move(r));
    });
    const std::vector<int> order = InNameOrder(int(read.size()), [&](int row) -> std::optional<QString> {
        if (read[size_t(row)].nameIsNull)
            return std::nullopt;
        return read[size_t(row)].name;
    });
    starts_.reserve(order.size() + 1);
    rowids_.reserve(order.size());
    names_.reserve(order.size());
    pieces_.resize(order.size());
    for (const int row : order) {
        Read& r = read[size_t(row)];
        starts_.push_back(int(texts_.size()));
        texts_ += r.texts;
        joinedStarts_.push_back(int(joined_.size()));
        joined_ += JoinedDigits(r.texts);
        rowids_.push_back(r.rowid);
        names_.push_back(std::move(r.name));
        readName(names_.back(), true, pieces_[names_.size() - 1]);
    }
    starts_.push_back(int(texts_.size()));
    joinedStarts_.push_back(int(joined_.size()));
    lowered_ = LowerAsciiBytes(texts_);
}

QString ContactIndex::text(int contact, ContactText column) const
{
    const char* at = texts_.constData() + starts_[size_t(contact)];
    for (int i = 0; i < int(column); ++i)
        at += qstrlen(at) + 1;
    return QString::fromUtf8(at, qstrlen(at));
}

std::vector<int> ContactIndex::find(const QString& typed) const
{
    std::vector<int> found;
    if (typed.isEmpty()) {
        found.resize(rowids_.size());
        for (size_t i = 0; i < found.size(); ++i)
            found[i] = int(i);
        return found;
    }
    const ContactSearch search(typed);
    std::vector<char> matched(rowids_.size(), 0);
    // The text inside any text: one pass over all of them, a contact at most once.
    const auto mark = [&](QByteArrayView texts, const std::vector<int>& starts, QByteArrayView part) {
        for (qsizetype at = texts.indexOf(part); at >= 0;) {
            const auto next = std::upper_bound(starts.begin(), starts.end(), int(at));
            matched[size_t(next - starts.begin()) - 1] = 1;
            at = texts.indexOf(part, *next);
        }
    };
    mark(lowered_, starts_, search.loweredText());
    if (!search.typedDigits().isEmpty())
        mark(joined_, joinedStarts_, search.typedDigits());
    for (size_t contact = 0; contact < matched.size(); ++contact)
        if (matched[contact] || search.matchesNamePieces(pieces_[contact]))
            found.push_back(int(contact));
    return found;
}
