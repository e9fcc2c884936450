#include "DuplicateGroups.h"

#include "exchange/ContactIdentity.h"

#include <QHash>
#include <QMap>
#include <memory>
#include <numeric>
#include <unicode/translit.h>
#include <unicode/unistr.h>
#include <vector>

namespace {

// The kinds of value HoldingsOf gives that tell one person, with the reason each shows.
struct Kind {
    QString prefix;  // the compared form's kind, before the \x1f
    QString reason;
    bool alone;  // a reason on its own; otherwise only beside the compared name
};

const QList<Kind>& kinds()
{
    static const QList<Kind> all{
        {QStringLiteral("tel"), QStringLiteral("电话"), true},
        {QStringLiteral("mail"), QStringLiteral("邮箱"), true},
        {QStringLiteral("QQ"), QStringLiteral("QQ"), true},
        {QStringLiteral("生日"), QStringLiteral("姓名+生日"), false},
        {QStringLiteral("QQ"), QStringLiteral("姓名+QQ"), false},
        {QStringLiteral("地址"), QStringLiteral("姓名+地址"), false},
        {QStringLiteral("tel"), QStringLiteral("姓名+电话"), false},
    };
    return all;
}

icu::Transliterator* toSimplified()
{
    static const std::unique_ptr<icu::Transliterator> transliterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> t(
            icu::Transliterator::createInstance("Hant-Hans", UTRANS_FORWARD, status));
        return U_SUCCESS(status) ? std::move(t) : nullptr;
    }();
    return transliterator.get();
}

// Character by character, each asked of ICU once: a name is too short for its
// phrase rules to matter, and a book has far fewer characters than names.
QString simplified(const QString& text)
{
    static QHash<char32_t, QString> known;
    QString out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (c < 0x80) {
            out += QChar(c);
            continue;
        }
        auto found = known.constFind(c);
        if (found == known.constEnd()) {
            icu::UnicodeString u = icu::UnicodeString(UChar32(c));
            if (toSimplified())
                toSimplified()->transliterate(u);
            found = known.insert(c, QString(reinterpret_cast<const QChar*>(u.getBuffer()), u.length()));
        }
        out += *found;
    }
    return out;
}

class Unions {
public:
    explicit Unions(qsizetype n) : parent_(n) { std::iota(parent_.begin(), parent_.end(), 0); }
    int root(int i)
    {
        while (parent_[i] != i)
            i = parent_[i] = parent_[parent_[i]];
        return i;
    }
    void join(int a, int b) { parent_[root(a)] = root(b); }

private:
    QList<int> parent_;
};

}  // namespace

QString ComparedName(const QString& name)
{
    QString folded = name.normalized(QString::NormalizationForm_KC);
    folded.removeIf([](QChar c) { return c.isSpace(); });
    return simplified(folded.toLower());
}

namespace {

// A record's values as FindDuplicates compares them.
struct Compared {
    QString name;        // ComparedName of its 姓名
    QStringList values;  // sorted, as HoldingsOf gives them
};

Compared comparedOf(const StoredContact& record)
{
    return {ComparedName(record.text(ContactText::Name)), HoldingsOf(record.texts, record.kept, 0).values};
}

// Keys held by their hash alone, so the table holds no text and costs little
// to build and free. Equal hashes are rare outside true duplicates: a record
// found under a key's hash is compared in full, and a key whose hash another
// key took lives in a table of its own.
class KeyHolders {
public:
    explicit KeyHolders(const QList<StoredContact>& records) : records_(records)
    {
        // Open addressing in one flat array, at most half full: about one memory access a key.
        size_t size = 1024;
        while (size < size_t(records.size()) * 12)
            size *= 2;
        slots_.assign(size, Slot{});
    }

    // The first record that held the key, or -1 when r is the first.
    int holderOf(int r, int kind, const QString& name, const QString& value)
    {
        const size_t hash = qHashMulti(0, kind, value, kinds()[kind].alone ? QString() : name);
        const int found = firstWithHash(hash, r);
        if (found < 0)
            return -1;
        if (holds(found, kind, name, value))
            return found;
        const QString key = QString::number(kind) + u'\x1e' + name + u'\x1e' + value;
        const auto other = collided_.constFind(key);
        if (other != collided_.constEnd())
            return *other;
        collided_.insert(key, r);
        return -1;
    }

private:
    bool holds(int holder, int kind, const QString& name, const QString& value) const
    {
        const Compared compared = comparedOf(records_[holder]);
        return std::binary_search(compared.values.begin(), compared.values.end(), value)
               && (kinds()[kind].alone || compared.name == name);
    }

    struct Slot {
        size_t hash = 0;
        int record = -1;
    };

    // The record first given with the hash; r, noted as that, answers -1.
    int firstWithHash(size_t hash, int r)
    {
        if (++used_ * 2 > slots_.size())
            grow();
        for (size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
            Slot& slot = slots_[i];
            if (slot.record < 0) {
                slot = {hash, r};
                return -1;
            }
            if (slot.hash == hash) {
                --used_;
                return slot.record;
            }
        }
    }

    void grow()
    {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        for (const Slot& slot : old) {
            if (slot.record < 0)
                continue;
            size_t i = slot.hash & (slots_.size() - 1);
            while (slots_[i].record >= 0)
                i = (i + 1) & (slots_.size() - 1);
            slots_[i] = slot;
        }
    }

    const QList<StoredContact>& records_;
    std::vector<Slot> slots_;
    size_t used_ = 0;
    QHash<QString, int> collided_;
};

}  // namespace

QList<DuplicateGroup> FindDuplicates(const QList<StoredContact>& records)
{
    // Each key's first holder; a later holder joins its group at once, and the
    // pair is noted with the kind of key they share.
    KeyHolders holders(records);
    QList<std::pair<int, int>> shared;  // (a record, the kind it shares)
    Unions unions(records.size());
    for (int r = 0; r < records.size(); ++r) {
        const QString name = ComparedName(records[r].text(ContactText::Name));
        // Only the values of the kinds that tell a person are put in their compared form.
        VisitValues(records[r].texts, records[r].kept, [&](const QString& label, const QString& text) {
            const QString kindOf = ValueKind(label);
            QString value;
            for (int k = 0; k < kinds().size(); ++k) {
                const Kind& kind = kinds()[k];
                if (kind.prefix != kindOf || (!kind.alone && name.isEmpty()))
                    continue;
                if (value.isEmpty())
                    value = ValueKey(label, text);
                const int holder = holders.holderOf(r, k, name, value);
                if (holder >= 0 && holder != r) {
                    unions.join(holder, r);
                    shared.append({r, k});
                }
            }
        });
    }
    QMap<int, QList<bool>> reasonsByRoot;
    for (const auto& [record, kind] : std::as_const(shared)) {
        QList<bool>& reasons = reasonsByRoot[unions.root(record)];
        reasons.resize(kinds().size());
        reasons[kind] = true;
    }
    QHash<int, int> groupOfRoot;
    QList<DuplicateGroup> groups;
    for (int r = 0; r < records.size(); ++r) {
        const int root = unions.root(r);
        const auto reasons = reasonsByRoot.constFind(root);
        if (reasons == reasonsByRoot.constEnd())
            continue;
        auto found = groupOfRoot.constFind(root);
        if (found == groupOfRoot.constEnd()) {
            found = groupOfRoot.insert(root, int(groups.size()));
            DuplicateGroup group;
            for (int k = 0; k < kinds().size(); ++k)
                if (reasons->at(k))
                    group.reasons << kinds()[k].reason;
            groups << group;
        }
        groups[*found].members << r;
    }
    return groups;
}
