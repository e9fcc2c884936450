#include "DuplicateGroups.h"

#include "exchange/ContactIdentity.h"

#include <QHash>
#include <QMap>
#include <memory>
#include <numeric>
#include <unicode/translit.h>
#include <unicode/unistr.h>

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

QList<DuplicateGroup> FindDuplicates(const QList<StoredContact>& records)
{
    // Each key's first holder; a later holder joins its group at once, and the
    // pair is noted with the kind of key they share.
    QHash<QString, int> firstHolder;
    firstHolder.reserve(records.size() * 6);
    QList<std::pair<int, int>> shared;  // (a record, the kind it shares)
    Unions unions(records.size());
    for (int r = 0; r < records.size(); ++r) {
        const StoredContact& record = records[r];
        const ContactHoldings holdings = HoldingsOf(record.texts, record.kept, 0);
        const QString name = ComparedName(record.text(ContactText::Name));
        for (const QString& value : holdings.values) {
            const QStringView prefix = QStringView(value).left(value.indexOf(u'\x1f'));
            for (int k = 0; k < kinds().size(); ++k) {
                const Kind& kind = kinds()[k];
                if (kind.prefix != prefix || (!kind.alone && name.isEmpty()))
                    continue;
                const auto [holder, isNew] = [&] {
                    const QString key = kind.alone ? value : name + u'\x1e' + value;
                    const auto found = firstHolder.constFind(key);
                    if (found != firstHolder.constEnd())
                        return std::pair(*found, false);
                    firstHolder.insert(key, r);
                    return std::pair(r, true);
                }();
                if (!isNew && holder != r) {
                    unions.join(holder, r);
                    shared.append({r, k});
                }
            }
        }
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
