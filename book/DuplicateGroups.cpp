#include "DuplicateGroups.h"

#include "book/SimplifiedTable.h"
#include "exchange/ContactIdentity.h"

#include <QHash>
#include <QMap>
#include <algorithm>
#include <cstring>
#include <memory>
#include <unicode/translit.h>
#include <unicode/unistr.h>
#include <unordered_map>
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
const QString& simplifiedOf(char32_t c)
{
    static QHash<char32_t, QString> known;
    auto found = known.constFind(c);
    if (found == known.constEnd()) {
        icu::UnicodeString u = icu::UnicodeString(UChar32(c));
        if (toSimplified())
            toSimplified()->transliterate(u);
        found = known.insert(c, QString(reinterpret_cast<const QChar*>(u.getBuffer()), u.length()));
    }
    return *found;
}

void appendSimplified(const QString& text, QString& out)
{
    for (const char32_t c : text.toUcs4()) {
        if (c < 0x80)
            out += QChar(c);
        else
            out += simplifiedOf(c);
    }
}

// The common CJK ideographs (simplified_table's), each its own normal form
// with no case and no blank, composing with nothing: with ASCII, what nearly
// every name is written in.
using simplified_table::first, simplified_table::last;

// A common ideograph simplified, when that is one unit; 0 when it is more.
char16_t simplifiedUnit(char16_t c)
{
    return simplified_table::units[c - first];
}

// The name compared when it is written in plain characters only, without a
// character for each: false (out as it was) when some character is not plain.
bool appendPlainName(QStringView name, QString& out)
{
    const qsizetype start = out.size();
    out.resize(start + name.size());
    char16_t* at = reinterpret_cast<char16_t*>(out.data()) + start;
    for (const QChar c : name) {
        const char16_t unit = c.unicode();
        if (unit >= 0x80) {
            if (unit < first || unit > last || (*at++ = simplifiedUnit(unit)) == 0) {
                out.resize(start);
                return false;
            }
        } else if (!c.isSpace()) {
            *at++ = unit >= u'A' && unit <= u'Z' ? char16_t(unit + 32) : unit;
        }
    }
    out.resize(at - reinterpret_cast<const char16_t*>(out.constData()));
    return true;
}

class Unions {
public:
    // A new set of one, numbered after the ones before.
    int add()
    {
        parent_ << int(parent_.size());
        return int(parent_.size() - 1);
    }
    int size() const { return int(parent_.size()); }
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

void AppendComparedName(QStringView name, QString& out)
{
    if (appendPlainName(name, out))
        return;
    QString folded = name.toString().normalized(QString::NormalizationForm_KC);
    folded.removeIf([](QChar c) { return c.isSpace(); });
    appendSimplified(folded.toLower(), out);
}

QString ComparedName(const QString& name)
{
    QString compared;
    AppendComparedName(name, compared);
    return compared;
}

namespace {

// A text's hash, inline and word by word: the tables here compare every key
// found in full, so it needs to spread keys, not to resist a chosen flood.
struct ViewHash {
    using is_transparent = void;
    size_t operator()(QStringView text) const
    {
        quint64 hash = 0x9e3779b97f4a7c15ULL ^ quint64(text.size());
        const char16_t* at = text.utf16();
        qsizetype left = text.size();
        for (; left >= 4; left -= 4, at += 4) {
            quint64 word;
            std::memcpy(&word, at, sizeof word);
            hash = (hash ^ word) * 0xff51afd7ed558ccdULL;
            hash ^= hash >> 32;
        }
        quint64 word = 0;
        if (left > 0)
            std::memcpy(&word, at, size_t(left) * sizeof(char16_t));
        hash = (hash ^ word) * 0xc4ceb9fe1a85ec53ULL;
        hash ^= hash >> 31;
        hash *= 0x94d049bb133111ebULL;
        return size_t(hash ^ (hash >> 29));
    }
};

// The keys' texts one after another, in blocks that never move: one text
// grown by doubling would copy every key held so far at each step, into fresh
// memory the system must hand over first. A key is found by the place add gave.
class KeyTexts {
public:
    quint32 add(QStringView key)
    {
        if (used_ + key.size() > blockSize_) {
            // A key longer than a block (a long value) takes a block of its own.
            blockSize_ = std::max(BlockUnits, key.size());
            blocks_.push_back(std::make_unique_for_overwrite<char16_t[]>(size_t(blockSize_)));
            used_ = 0;
        }
        std::copy_n(key.utf16(), key.size(), blocks_.back().get() + used_);
        const quint32 place = quint32(blocks_.size() - 1) << PlaceBits | quint32(used_);
        used_ += key.size();
        return place;
    }

    QStringView at(quint32 place, quint32 length) const
    {
        return QStringView(blocks_[place >> PlaceBits].get() + (place & ((1u << PlaceBits) - 1)), length);
    }

private:
    static constexpr int PlaceBits = 20;
    static constexpr qsizetype BlockUnits = qsizetype(1) << PlaceBits;  // 2 MB
    std::vector<std::unique_ptr<char16_t[]>> blocks_;
    qsizetype blockSize_ = 0, used_ = 0;
};

// Every key given, each held once, found through one flat table (open
// addressing, at most 70 % full: about one memory access a key).
class KeyHolders {
public:
    KeyHolders() : slots_(1024) {}

    // Room for about this many keys, so the table is not grown (each key moved
    // again, its memory fresh again) while they come.
    void expect(qint64 keys)
    {
        size_t size = slots_.size();
        while (qint64(size) * 7 < keys * 10)
            size *= 2;
        if (size > slots_.size() && used_ == 0)
            slots_.assign(size, Slot{});
    }

    static quint32 hashOf(QStringView key) { return quint32(ViewHash()(key)); }

    // Asks the memory for the key's place ahead: a record's keys are looked up
    // after all of them were asked for, waiting for their cache misses at once.
    void prefetch(quint32 hash) const { __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]); }

    // The first record that held the key (whose hash is given); r when r is the first.
    int holderOf(QStringView key, quint32 hash, int r)
    {
        if ((used_ + 1) * 10 > slots_.size() * 7)
            grow();
        for (size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
            Slot& slot = slots_[i];
            if (slot.record < 0) {
                slot = {hash, text_.add(key), quint32(key.size()), r};
                ++used_;
                return r;
            }
            if (slot.hash == hash && text_.at(slot.place, slot.length) == key)
                return slot.record;
        }
    }

private:
    struct Slot {
        quint32 hash = 0;
        quint32 place = 0;  // in text_
        quint32 length = 0;
        int record = -1;
    };

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

    std::vector<Slot> slots_;
    size_t used_ = 0;
    KeyTexts text_;
};

// What a label's values are compared as: the kind ValueKind gives, and which of kinds() take it.
struct LabelKinds {
    QString kind;
    QList<int> kinds;
};

}  // namespace

struct DuplicateFinder::State {
    KeyHolders holders;
    QList<std::pair<int, int>> shared;  // (a record, the kind it shares)
    Unions unions;
    std::unordered_map<QString, LabelKinds, ViewHash, std::equal_to<>> labels;
    // The record's keys, one after another, before they are looked up.
    struct Key {
        int kind;
        qsizetype start, length;
        quint32 hash;
    };
    std::vector<Key> pending;
    QString name, value, keys;  // their room reused from record to record

    // The few labels a book mostly has (its columns') are found among the first
    // ones met, without hashing; any other through the table.
    std::vector<std::pair<QString, const LabelKinds*>> firstLabels;

    const LabelKinds& kindsOf(QStringView label)
    {
        for (const auto& [known, of] : firstLabels)
            if (known.size() == label.size() && std::equal(label.begin(), label.end(), known.begin()))
                return *of;
        auto found = labels.find(label);
        if (found == labels.end()) {
            LabelKinds known{ValueKind(label.toString()), {}};
            for (int k = 0; k < kinds().size(); ++k)
                if (kinds()[k].prefix == known.kind)
                    known.kinds << k;
            found = labels.emplace(label.toString(), known).first;
            if (firstLabels.size() < 8)
                firstLabels.emplace_back(found->first, &found->second);
        }
        return found->second;
    }
};

DuplicateFinder::DuplicateFinder() : state_(std::make_unique<State>()) {}

DuplicateFinder::~DuplicateFinder() = default;

void DuplicateFinder::expect(qint64 records)
{
    // At most one key of each kind a record gives (more only from values kept aside).
    state_->holders.expect(records * kinds().size());
}

void DuplicateFinder::add(const std::array<QString, ContactTextCount>& texts, const QList<DraftExtra>& kept)
{
    // Each key's first holder; a later holder joins its group at once, and the
    // pair is noted with the kind of key they share.
    State& s = *state_;
    const int r = s.unions.add();
    s.name.resize(0);
    AppendComparedName(texts[int(ContactText::Name)], s.name);
    s.keys.resize(0);
    s.pending.clear();
    VisitValues(texts, kept, [&](QStringView label, QStringView text) {
        // Only the values of the kinds that tell a person are put in their compared form.
        const LabelKinds& of = s.kindsOf(label);
        if (of.kinds.isEmpty())
            return;
        s.value.resize(0);
        AppendComparedValue(of.kind, text, s.value);
        for (const int k : of.kinds) {
            const bool alone = kinds()[k].alone;
            if (!alone && s.name.isEmpty())
                continue;
            // The kind, the name with its length when it counts, then the value.
            const QStringView name = alone ? QStringView() : QStringView(s.name);
            const qsizetype start = s.keys.size();
            s.keys.resize(start + 3 + name.size() + s.value.size());
            char16_t* at = reinterpret_cast<char16_t*>(s.keys.data()) + start;
            *at++ = char16_t(k);
            *at++ = char16_t(name.size() >> 16);
            *at++ = char16_t(name.size() & 0xffff);
            at = std::copy_n(name.utf16(), name.size(), at);
            std::copy_n(reinterpret_cast<const char16_t*>(s.value.constData()), s.value.size(), at);
            const QStringView key = QStringView(s.keys).sliced(start);
            s.pending.push_back({k, start, key.size(), KeyHolders::hashOf(key)});
            s.holders.prefetch(s.pending.back().hash);
        }
    });
    for (const State::Key& key : s.pending) {
        const int holder = s.holders.holderOf(QStringView(s.keys).sliced(key.start, key.length), key.hash, r);
        if (holder != r) {
            s.unions.join(holder, r);
            s.shared.append({r, key.kind});
        }
    }
}

QList<DuplicateGroup> DuplicateFinder::groups()
{
    State& s = *state_;
    QMap<int, QList<bool>> reasonsByRoot;
    for (const auto& [record, kind] : std::as_const(s.shared)) {
        QList<bool>& reasons = reasonsByRoot[s.unions.root(record)];
        reasons.resize(kinds().size());
        reasons[kind] = true;
    }
    QHash<int, int> groupOfRoot;
    QList<DuplicateGroup> groups;
    for (int r = 0; r < s.unions.size(); ++r) {
        const int root = s.unions.root(r);
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

QList<DuplicateGroup> FindDuplicates(const QList<StoredContact>& records)
{
    DuplicateFinder finder;
    for (const StoredContact& record : records)
        finder.add(record.texts, record.kept);
    return finder.groups();
}
