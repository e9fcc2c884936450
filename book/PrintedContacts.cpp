#include "PrintedContacts.h"

#include "book/BookFile.h"
#include "book/ContactScan.h"
#include "book/NameOrder.h"
#include "exchange/ContactLabels.h"
#include "exchange/ContactValues.h"
#include "exchange/birthday/ChineseAltBirthday.h"
#include "exchange/pinyin/ContactSearch.h"
#include "exchange/pinyin/NameReading.h"

#include <QSet>

#include <algorithm>
#include <functional>
#include <optional>
#include <span>

namespace {

bool isLabelled(const DraftExtra& value, const QString& base)
{
    return LabelBaseView(value.label) == base;
}

int headingRank(QChar heading)
{
    return heading == u'#' ? 26 : heading.unicode() - u'A';
}

}  // namespace

QChar PrintHeading(const QString& name)
{
    const QString spelled = spellName(name);
    if (spelled.isEmpty())
        return u'#';
    QChar first = spelled.at(0);
    // Ü, É and their kin file under their base letter.
    if (first.decompositionTag() != QChar::NoDecomposition)
        first = first.decomposition().at(0);
    first = first.toUpper();
    return first >= u'A' && first <= u'Z' ? first : QChar(u'#');
}

PrintedContact PrintedFrom(const StoredContact& contact)
{
    const ContactValues lifted = LiftValues(contact);
    PrintedContact printed;
    // A name or 类别 cut to its column prints whole, as the import kept it.
    printed.name = lifted.text(ContactText::Name);
    printed.category = lifted.text(ContactText::Category);
    printed.heading = PrintHeading(printed.name);
    QList<PrintedLine>& lines = printed.lines;
    QList<bool> used(lifted.values.size(), false);
    const auto text = [&](PrintColumn column, ContactText at) {
        if (!lifted.text(at).isEmpty())
            lines << PrintedLine{column, ContactTextColumn(at), lifted.text(at)};
    };
    const auto labelled = [&](PrintColumn column, const std::function<bool(const DraftExtra&)>& kind) {
        for (qsizetype i = 0; i < lifted.values.size(); ++i)
            if (!used[i] && kind(lifted.values[i])) {
                used[i] = true;
                if (!lifted.values[i].value.isEmpty())
                    lines << PrintedLine{column, lifted.values[i].label, lifted.values[i].value};
            }
    };
    text(PrintColumn::Phone, ContactText::Phone);
    labelled(PrintColumn::Phone, [](const DraftExtra& v) { return isPhoneLabel(LabelBaseView(v.label)); });
    text(PrintColumn::QQ, ContactText::QQ);
    labelled(PrintColumn::QQ, [](const DraftExtra& v) { return isLabelled(v, QStringLiteral("QQ")); });
    labelled(PrintColumn::Mail, [](const DraftExtra& v) { return isMailLabel(LabelBaseView(v.label)); });
    // A lunar 生日 prints as the person wrote it ("农历八月十五"), not as a date of ours.
    text(PrintColumn::Birthday, ContactText::Birthday);
    labelled(PrintColumn::Birthday, [](const DraftExtra& v) {
        return isLabelled(v, QStringLiteral("生日")) || LabelBaseView(v.label) == LunarBirthdayLabel;
    });
    text(PrintColumn::Address, ContactText::Address);
    labelled(PrintColumn::Address, [](const DraftExtra& v) { return isLabelled(v, QStringLiteral("地址")); });
    text(PrintColumn::Note, ContactText::Note);
    labelled(PrintColumn::Note, [](const DraftExtra&) { return true; });
    return printed;
}

std::vector<PrintedContact> ReadPrintedContacts(TADOConnection& connection, const PrintChoice& choice, bool everyLine)
{
    std::optional<ContactSearch> search;
    if (!choice.find.trimmed().isEmpty())
        search.emplace(choice.find.trimmed());
    const QString category = choice.category.trimmed();
    std::vector<PrintedContact> read;
    StoredContact stored;  // its room reused from record to record
    ScanRecordTexts(connection, [&](const ContactTexts& texts, const QList<DraftExtra>& kept, qint64 rowid) {
        if (!category.isEmpty() && texts[size_t(ContactText::Category)] != category)
            return;
        if (search && !search->matches(std::span<const QString>(texts)))
            return;
        stored.texts = texts;
        stored.kept = kept;
        read.push_back(PrintedFrom(stored));
        read.back().rowid = rowid;
        if (!everyLine) {
            read.back().lines.removeIf([&](const PrintedLine& line) { return !choice.shows(line.column); });
            read.back().lines.squeeze();
        }
    });
    const std::vector<int> byName =
        InNameOrder(int(read.size()), [&](int row) -> std::optional<QString> { return read[size_t(row)].name; });
    std::vector<int> order(byName);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return headingRank(read[size_t(a)].heading) < headingRank(read[size_t(b)].heading);
    });
    std::vector<PrintedContact> printed;
    printed.reserve(read.size());
    for (int row : order)
        printed.push_back(std::move(read[size_t(row)]));
    return printed;
}

QStringList BookCategories(TADOConnection& connection)
{
    QSet<QString> seen;
    ScanContacts(connection, [&](const ScannedContact& contact) {
        const QByteArrayView category = contact.texts[size_t(ContactText::Category)];
        if (!category.isEmpty())
            seen.insert(QString::fromUtf8(category));
    });
    QStringList categories(seen.begin(), seen.end());
    QStringList ordered;
    for (int row :
         InNameOrder(int(categories.size()), [&](int row) -> std::optional<QString> { return categories[row]; }))
        ordered << categories[row];
    return ordered;
}
