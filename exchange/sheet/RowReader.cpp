#include "RowReader.h"

#include "exchange/AddressText.h"
#include "exchange/ChineseName.h"
#include "exchange/DraftName.h"
#include "platform/TextRules.h"
#include "platform/Trim.h"
#include "store/ContactSchema.h"

#include <QStringList>
#include <algorithm>

namespace {

QString joinNonEmpty(const QStringList& parts, const QString& separator)
{
    QStringList kept;
    for (const QString& p : parts)
        if (!IsAllPadding(p))
            kept.append(TrimControl(p));
    return kept.join(separator);
}

// "--01-02" (a birthday without a year, as Google writes it) as 01-02.
QString birthdayText(const QString& value)
{
    const QString t = TrimControl(value);
    if (t.size() == 7 && t.startsWith(QLatin1String("--")))
        return t.mid(2);
    return value;
}

// Year, month and day from columns of their own: 1990-03-05, or 03-05 without a year.
QString birthdayFromParts(const QString (&parts)[3])
{
    QStringList kept;
    for (int i = 0; i < 3; ++i) {
        if (parts[i].isEmpty())
            continue;
        bool number = false;
        const int n = parts[i].toInt(&number);
        kept.append(number && i > 0 && n >= 0 && n < 100 ? QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'))
                                                         : parts[i]);
    }
    return kept.join(u'-');
}

// Groups as Google ("Friends ::: * myContacts") and Outlook ("Friends;Family")
// list them; Google's own groups start with "*" and name no category.
QStringList groupNames(const QString& value)
{
    QStringList groups;
    for (const QString& piece : value.split(QStringLiteral(":::"))) {
        for (const QString& name : piece.split(QLatin1Char(';'))) {
            const QString trimmed = TrimControl(name);
            if (!trimmed.isEmpty() && !trimmed.startsWith(QLatin1Char('*')))
                groups.append(trimmed);
        }
    }
    return groups;
}

QStringList splitList(const QString& value)
{
    if (!value.contains(QLatin1String(":::")))
        return {TrimControl(value)};  // shares the cell's text when it needs no trimming
    QStringList out;
    for (const QString& piece : value.split(QStringLiteral(":::")))
        if (!IsAllPadding(piece))
            out.append(TrimControl(piece));
    return out;
}

// A value put together from pieces (a name from its parts, an address from its
// fields, a birthday, a group) ranks after every column that gives it whole.
constexpr int PiecedRank = 1000;

struct Candidate {
    int rank = 0;
    int order = 0;  // the column, so equal ranks keep the sheet's order
    QString value;
    QString label;
};

struct AddressParts {
    QString parts[5];  // by AddressPart
    QString& operator[](AddressPart p) { return parts[static_cast<int>(p)]; }
};

QString joinAddress(AddressParts& a)
{
    const QString street = a[AddressPart::Street], locality = a[AddressPart::Locality], region = a[AddressPart::Region],
                  country = a[AddressPart::Country];
    if (ContainsEastAsianScript(street + locality + region + country))
        return WithoutRepeatedPlaces({country, region, locality, street}).join(QString());
    return joinNonEmpty({street, locality, region, country}, QStringLiteral(", "));
}

// One part of the name; a second one of the same kind (two such columns) goes to the note rather than vanish.
struct NamePart {
    QString value;
    QString label;

    void add(const QString& text, const HeaderMeaning& m, ContactDraft& draft)
    {
        if (value.isEmpty()) {
            value = TrimControl(text);
            label = m.label;
        } else {
            draft.extras.append({m.label, text});
        }
    }
};

// The best candidate fills the column; the others with a different text go to the note.
void settle(ContactDraft& draft, int column, QList<Candidate>& candidates)
{
    if (candidates.isEmpty())
        return;
    if (candidates.size() == 1) {
        draft.texts[column] = candidates.first().value;
        return;
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        return a.rank != b.rank ? a.rank < b.rank : a.order < b.order;
    });
    draft.texts[column] = candidates.first().value;
    QStringList seen{TrimControl(candidates.first().value)};
    for (qsizetype i = 1; i < candidates.size(); ++i) {
        const QString trimmed = TrimControl(candidates[i].value);
        if (seen.contains(trimmed))
            continue;  // the same text twice (a name and its parts) says nothing new
        seen.append(trimmed);
        draft.extras.append({candidates[i].label, candidates[i].value});
    }
}

}  // namespace

HeaderMeaning numberedColumn(int column)
{
    HeaderMeaning m;
    m.label = QStringLiteral("第%1列").arg(column + 1);
    return m;
}

QString nameFromParts(const QString& family, const QString& middle, const QString& given)
{
    if (ContainsEastAsianScript(family + middle + given))
        return joinNameParts(QStringList{family, middle, given});
    return joinNameParts(QStringList{given, middle, family});
}

RowReader::RowReader(QList<HeaderMeaning> meanings) : meanings_(std::move(meanings))
{
    const bool hasFamily = std::any_of(meanings_.begin(), meanings_.end(),
                                       [](const HeaderMeaning& m) { return m.role == HeaderRole::NameFamily; });
    int address = 0;
    for (HeaderMeaning& m : meanings_) {
        if (m.wholeNameAlone && !hasFamily) {
            const QString label = m.label;
            m = HeaderMeaning();
            m.role = HeaderRole::Column;
            m.column = ContactText::Name;
            m.rank = 1;
            m.label = label;
        }
        if (m.role == HeaderRole::AddressPart) {
            if (m.rank == kAddressOfTheColumnsBefore)
                m.rank = address;
            address = m.rank;
        }
    }
}

const HeaderMeaning& RowReader::meaningOf(int column) const
{
    if (column < meanings_.size())
        return meanings_[column];
    auto found = beyondHeader_.find(column);
    if (found == beyondHeader_.end())
        found = beyondHeader_.emplace(column, numberedColumn(column)).first;
    return found->second;
}

ContactDraft RowReader::read(const SheetRow& row) const
{
    ContactDraft draft;
    draft.line = row.line;
    QList<Candidate> candidates[ContactTextCount];
    NamePart family, middle, given;
    std::map<int, AddressParts> addresses;
    QString birthday[3];
    QStringList groups;

    for (const SheetCell& cell : row.cells) {
        if (IsAllPadding(cell.text))
            continue;
        const HeaderMeaning& m = meaningOf(cell.column);
        if (!m.holdsNames() && isFillerValue(TrimControl(cell.text)))
            continue;
        const auto take = [&](const QString& value) {
            switch (m.role) {
            case HeaderRole::Column:
                candidates[static_cast<int>(m.column)].append(
                    {m.rank, cell.column, m.column == ContactText::Birthday ? birthdayText(value) : value, m.label});
                break;
            case HeaderRole::NameFamily: family.add(value, m, draft); break;
            case HeaderRole::NameMiddle: middle.add(value, m, draft); break;
            case HeaderRole::NameGiven: given.add(value, m, draft); break;
            case HeaderRole::AddressPart: {
                QString& part = addresses[m.rank][m.part];
                part = joinNonEmpty({part, value}, QStringLiteral(" "));
                break;
            }
            case HeaderRole::BirthdayPart: {
                QString& part = birthday[static_cast<int>(m.datePart)];
                if (part.isEmpty())
                    part = TrimControl(value);
                else
                    draft.extras.append({m.label, value});
                break;
            }
            case HeaderRole::Groups: groups += groupNames(value); break;
            case HeaderRole::Extra:
            case HeaderRole::Unknown: draft.extras.append({m.label, value}); break;
            case HeaderRole::Ignored: break;
            }
        };
        if (m.list) {
            for (const QString& value : splitList(cell.text))
                take(value);
        } else {
            take(cell.text);  // no list made for the one value
        }
    }

    // Parts stand in for a whole name or address only when none is given. A
    // name needs its family name: a given name alone is no one's whole name,
    // so it waits in 备注 under its label.
    auto& names = candidates[static_cast<int>(ContactText::Name)];
    if (names.isEmpty() && !family.value.isEmpty()) {
        names.append({PiecedRank, 0, nameFromParts(family.value, middle.value, given.value),
                      ContactTextColumn(ContactText::Name)});
    } else if (names.isEmpty()) {
        for (const NamePart* part : {&given, &middle})
            if (!part->value.isEmpty())
                draft.extras.append({part->label, part->value});
    }
    // Beside a whole address a part it already says (Google's city beside its
    // formatted address) says nothing new; any other is kept as it came (a
    // country, a postal code, a street of another address), never dropped.
    auto& whole = candidates[static_cast<int>(ContactText::Address)];
    const QList<Candidate> wholes = whole;
    const bool wholeGiven = !whole.isEmpty();
    for (auto& [index, parts] : addresses) {
        for (QString& part : parts.parts) {
            const QString trimmed = TrimControl(part);
            if (std::any_of(wholes.begin(), wholes.end(),
                            [&](const Candidate& c) { return c.value.contains(trimmed); }))
                part.clear();
        }
        if (wholeGiven && !IsAllPadding(parts[AddressPart::Country])) {
            draft.extras.append({QStringLiteral("国家"), parts[AddressPart::Country]});
            parts[AddressPart::Country].clear();
        }
        QString address = joinAddress(parts);
        if (!address.isEmpty())
            whole.append({PiecedRank + index, 0, address, ContactTextColumn(ContactText::Address)});
        if (!IsAllPadding(parts[AddressPart::PostalCode]))
            draft.extras.append({QStringLiteral("邮编"), parts[AddressPart::PostalCode]});
    }
    auto& birthdays = candidates[static_cast<int>(ContactText::Birthday)];
    const QString fromParts = birthdayFromParts(birthday);
    if (!fromParts.isEmpty())
        birthdays.append({PiecedRank, 0, fromParts, ContactTextColumn(ContactText::Birthday)});
    for (const QString& group : groups)
        candidates[static_cast<int>(ContactText::Category)].append({PiecedRank, 0, group, QStringLiteral("分组")});

    for (int c = 0; c < ContactTextCount; ++c)
        settle(draft, c, candidates[c]);
    NameFromWhatItHas(draft);
    return draft;
}
