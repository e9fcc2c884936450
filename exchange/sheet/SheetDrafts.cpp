#include "SheetDrafts.h"

#include "exchange/sheet/HeaderMeaning.h"
#include "exchange/sheet/SheetFile.h"
#include "platform/TextRules.h"
#include "platform/Trim.h"
#include "store/ContactSchema.h"

#include <QStringList>
#include <algorithm>
#include <map>

namespace {

QString joinNonEmpty(const QStringList& parts, const QString& separator)
{
    QStringList kept;
    for (const QString& p : parts)
        if (!IsAllPadding(p))
            kept.append(TrimControl(p));
    return kept.join(separator);
}

// "--01-02" (a birthday without a year, as Google writes it) as 01-02; Outlook's
// "0/0/00" means no birthday.
QString birthdayText(const QString& value)
{
    const QString t = TrimControl(value);
    if (t == QLatin1String("0/0/00") || t == QLatin1String("0/0/0000"))
        return QString();
    if (t.size() == 7 && t.startsWith(QLatin1String("--")))
        return t.mid(2);
    return value;
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

// A column without a header name, kept under its number.
HeaderMeaning numbered(int column)
{
    HeaderMeaning m;
    m.label = QStringLiteral("第%1列").arg(column + 1);
    return m;
}

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
        return joinNonEmpty({country, region, locality, street}, QString());
    return joinNonEmpty({street, locality, region, country}, QStringLiteral(", "));
}

class RowReader {
public:
    explicit RowReader(const QList<HeaderMeaning>& meanings) : meanings_(meanings) {}

    ContactDraft read(const SheetRow& row) const
    {
        ContactDraft draft;
        draft.line = row.line;
        QList<Candidate> candidates[ContactTextCount];
        QString family, middle, given;
        std::map<int, AddressParts> addresses;
        QStringList groups;

        for (const SheetCell& cell : row.cells) {
            if (IsAllPadding(cell.text))
                continue;
            const HeaderMeaning& m = meaningOf(cell.column);
            if (!m.defaultValue.isEmpty() && TrimControl(cell.text) == m.defaultValue)
                continue;
            const QStringList values = m.list ? splitList(cell.text) : QStringList{cell.text};
            for (const QString& value : values) {
                switch (m.role) {
                case HeaderRole::Column:
                    candidates[static_cast<int>(m.column)].append(
                        {m.rank, cell.column, m.column == ContactText::Birthday ? birthdayText(value) : value,
                         m.label});
                    break;
                case HeaderRole::NameFamily: appendPart(family, value, m, draft); break;
                case HeaderRole::NameMiddle: appendPart(middle, value, m, draft); break;
                case HeaderRole::NameGiven: appendPart(given, value, m, draft); break;
                case HeaderRole::AddressPart: {
                    QString& part = addresses[m.rank][m.part];
                    part = joinNonEmpty({part, value}, QStringLiteral(" "));
                    break;
                }
                case HeaderRole::Groups: groups += groupNames(value); break;
                case HeaderRole::Extra:
                case HeaderRole::Unknown: draft.extras.append({m.label, value}); break;
                case HeaderRole::Ignored: break;
                }
            }
        }

        // Parts stand in for a whole name or address only when none is given.
        auto& names = candidates[static_cast<int>(ContactText::Name)];
        const QString name = joinNameParts(family, middle, given);
        if (names.isEmpty() && !name.isEmpty())
            names.append({1000, 0, name, ContactTextColumns()[1]});
        auto& whole = candidates[static_cast<int>(ContactText::Address)];
        if (whole.isEmpty()) {
            for (auto& [index, parts] : addresses) {
                QString address = joinAddress(parts);
                if (!address.isEmpty())
                    whole.append({1000 + index, 0, address, QStringLiteral("地址")});
                if (!IsAllPadding(parts[AddressPart::PostalCode]))
                    draft.extras.append({QStringLiteral("邮编"), parts[AddressPart::PostalCode]});
            }
        }
        for (const QString& group : groups)
            candidates[static_cast<int>(ContactText::Category)].append({1000, 0, group, QStringLiteral("分组")});

        for (int c = 0; c < ContactTextCount; ++c)
            settle(draft, c, candidates[c]);
        return draft;
    }

private:
    // Cells right of the header are kept under their column's number.
    const HeaderMeaning& meaningOf(int column) const
    {
        if (column < meanings_.size())
            return meanings_[column];
        auto found = beyondHeader_.find(column);
        if (found == beyondHeader_.end())
            found = beyondHeader_.emplace(column, numbered(column)).first;
        return found->second;
    }

    static QStringList splitList(const QString& value)
    {
        QStringList out;
        for (const QString& piece : value.split(QStringLiteral(":::")))
            if (!IsAllPadding(piece))
                out.append(TrimControl(piece));
        return out;
    }

    // A second family or given name (two such columns) goes to the note rather than vanish.
    static void appendPart(QString& part, const QString& value, const HeaderMeaning& m, ContactDraft& draft)
    {
        if (part.isEmpty())
            part = TrimControl(value);
        else
            draft.extras.append({m.label, value});
    }

    // The best candidate fills the column; the others with a different text go to the note.
    static void settle(ContactDraft& draft, int column, QList<Candidate>& candidates)
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

    const QList<HeaderMeaning>& meanings_;
    mutable std::map<int, HeaderMeaning> beyondHeader_;
};

bool isBlankRow(const SheetRow& row)
{
    return std::all_of(row.cells.begin(), row.cells.end(), [](const SheetCell& c) { return IsAllPadding(c.text); });
}

bool namesAKnownColumn(const QList<HeaderMeaning>& meanings)
{
    return std::any_of(meanings.begin(), meanings.end(), [](const HeaderMeaning& m) {
        return m.role != HeaderRole::Unknown && m.role != HeaderRole::Ignored;
    });
}

}  // namespace

QString joinNameParts(const QString& family, const QString& middle, const QString& given)
{
    if (ContainsEastAsianScript(family + middle + given))
        return joinNonEmpty({family, middle, given}, QString());
    return joinNonEmpty({given, middle, family}, QStringLiteral(" "));
}

DraftSet draftsFromSheet(const SheetRows& sheet, const QString& fileName)
{
    DraftSet set;
    for (const SheetRows::Failure& f : sheet.failures)
        set.failures.append({f.line, f.reason});

    const auto header =
        std::find_if(sheet.rows.begin(), sheet.rows.end(), [](const SheetRow& r) { return !isBlankRow(r); });
    if (header == sheet.rows.end())
        throw ExchangeError(cannotReadMessage(fileName, QStringLiteral("其中没有表头，读不出任何联系人")));

    QList<HeaderMeaning> meanings;
    QStringList found;
    for (const SheetCell& cell : header->cells) {
        while (meanings.size() < cell.column)
            meanings.append(numbered(static_cast<int>(meanings.size())));
        const QString name = TrimControl(cell.text);
        meanings.append(name.isEmpty() ? numbered(cell.column) : headerMeaning(name));
        if (!name.isEmpty())
            found.append(name);
    }
    if (!namesAKnownColumn(meanings))
        throw ExchangeError(cannotReadMessage(
            fileName, QStringLiteral("表头中没有认识的列（认识的有 %1 等）；表头中的列为：%2")
                          .arg(ContactTextColumns().join(QStringLiteral("、")), found.join(QStringLiteral("、")))));

    const RowReader reader(meanings);
    for (auto row = header + 1; row != sheet.rows.end(); ++row)
        if (!isBlankRow(*row))
            set.drafts.append(reader.read(*row));
    // Failures of rows come in line order with the drafts' report.
    std::stable_sort(set.failures.begin(), set.failures.end(),
                     [](const DraftFailure& a, const DraftFailure& b) { return a.line < b.line; });
    return set;
}
