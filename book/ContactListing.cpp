#include "ContactListing.h"

#include "book/ListTable.h"
#include "exchange/pinyin/NameReading.h"
#include "store/ContactSchema.h"

void PrintContacts(Console& console, const QList<ContactTexts>& contacts, bool withPinyin, const QList<qint64>* numbers)
{
    QStringList header = ContactTextColumns();
    if (numbers)
        header.prepend(QStringLiteral("编号"));
    if (withPinyin)
        header << QStringLiteral("拼音");
    QList<QStringList> rows;
    rows.reserve(contacts.size());
    for (qsizetype i = 0; i < contacts.size(); ++i) {
        const ContactTexts& texts = contacts[i];
        QStringList row(texts.begin(), texts.end());
        if (numbers)
            row.prepend(QString::number(numbers->at(i)));
        if (withPinyin)
            row << spellName(texts[size_t(ContactText::Name)]);
        rows << row;
    }
    PrintTable(console, header, rows);
}

void PrintTable(Console& console, const QStringList& header, const QList<QStringList>& rows)
{
    const QStringList lines = console.outIsTerminal() ? Aligned(header, rows) : TabSeparated(header, rows);
    for (const QString& line : lines)
        console.out(line);
}
