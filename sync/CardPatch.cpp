#include "CardPatch.h"

#include "exchange/ChineseName.h"
#include "exchange/ContactIdentity.h"
#include "exchange/ContactLabels.h"
#include "exchange/pinyin/NameReading.h"
#include "exchange/vcard/CardText.h"
#include "exchange/vcard/VCardCard.h"
#include "exchange/vcard/VCardOutput.h"
#include "exchange/vcard/VCardValue.h"
#include "exchange/vcard/VCardWriter.h"

#include <QBuffer>
#include <QSet>

namespace {

QByteArray escaped(const QString& text)
{
    QByteArray value;
    VCardOutput::appendEscaped(value, text);
    return value;
}

QByteArray revision(const QDateTime& now)
{
    return now.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1();
}

// The lines the export writes for a record, without the card's frame.
QList<CardLine> writtenLines(const StoredContact& record)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeVCards(buffer, {record});
    QList<CardLine> lines = SplitCard(bytes);
    lines.removeIf([](const CardLine& line) {
        const QByteArray& name = line.property.name;
        return name == "BEGIN" || name == "END" || name == "VERSION";
    });
    return lines;
}

// The names of the properties that can hold a column's value.
QList<QByteArray> propertiesOfField(SyncField field)
{
    switch (field) {
    case SyncField::Category: return {"CATEGORIES"};
    case SyncField::Name: return {"FN", "N", "X-PHONETIC-LAST-NAME", "X-PHONETIC-FIRST-NAME"};
    case SyncField::Birthday: return {"BDAY", "X-ALTBDAY", "X-TESSALY-BIRTHDAY"};
    case SyncField::Phone: return {"TEL"};
    case SyncField::QQ: return {"X-QQ", "IMPP"};
    case SyncField::Address: return {"ADR"};
    case SyncField::Note: return {"NOTE"};
    case SyncField::Photo: return {"PHOTO"};
    }
    return {};
}

class Patcher {
public:
    Patcher(const QByteArray& card, const ContactFields& from, const ContactFields& to)
        : lines_(SplitCard(card)), from_(from), to_(to)
    {
        for (const CardLine& line : lines_) {
            if (line.property.name == "VERSION")
                version_ = line;
            if (!line.property.group.isEmpty())
                groups_.insert(line.property.group.toLower());
        }
    }

    void field(SyncField field, const QByteArray& photo)
    {
        switch (field) {
        case SyncField::Name: return name();
        case SyncField::Photo: return replaceAll(field, photoLines(photo));
        case SyncField::Birthday: return replaceAll(field, columnLines(field));
        case SyncField::Category: return category();
        default: return column(field);
        }
    }

    void values()
    {
        QSet<QString> wanted;
        for (const DraftExtra& value : to_.values)
            wanted.insert(ValueKey(value.label, value.value));
        QSet<QString> had;
        for (const DraftExtra& value : from_.values) {
            const QString key = ValueKey(value.label, value.value);
            had.insert(key);
            if (!wanted.contains(key))
                removeValue(value);
        }
        QList<DraftExtra> added;
        for (const DraftExtra& value : to_.values)
            if (!had.contains(ValueKey(value.label, value.value)))
                added << value;
        if (added.isEmpty())
            return;
        StoredContact carrier;
        carrier.kept = added;
        QStringList notes;
        for (CardLine& line : writtenLines(carrier)) {
            const QByteArray& name = line.property.name;
            if (name == "FN" || name == "N" || name.startsWith("X-PHONETIC-"))
                continue;
            if (name == "NOTE")
                notes << text(line);
            else
                insert(regrouped(line));
        }
        if (!notes.isEmpty())
            appendToNote(notes.join(NoteSeparator));
    }

    QByteArray result(const QDateTime& now)
    {
        setSingle("REV", revision(now));
        setSingle("PRODID", SyncProductId());
        return JoinCard(lines_);
    }

private:
    // What the line alone gives the import, read with the card's version and its group's label.
    ContactDraft solo(const CardLine& line) const
    {
        QList<VCardProperty> properties;
        if (version_)
            properties << version_->property;
        properties << line.property;
        if (!line.property.group.isEmpty()) {
            for (const CardLine& other : lines_)
                if (other.property.name == "X-ABLABEL"
                    && other.property.group.compare(line.property.group, Qt::CaseInsensitive) == 0)
                    properties << other.property;
        }
        return draftOfCard(0, properties);
    }

    QString text(const CardLine& line) const { return unescapeText(decodeValueText(line.property).text, true); }

    // The first line of the field's properties whose value alone is the column's old value.
    qsizetype lineHolding(SyncField field, const QString& old) const
    {
        const QList<QByteArray> names = propertiesOfField(field);
        for (qsizetype i = 0; i < lines_.size(); ++i) {
            if (!names.contains(lines_[i].property.name))
                continue;
            const ContactDraft alone = solo(lines_[i]);
            if (alone.texts[size_t(field)].trimmed() == old.trimmed())
                return i;
        }
        return -1;
    }

    // The export's lines for the column's new value alone.
    QList<CardLine> columnLines(SyncField field) const
    {
        StoredContact carrier;
        carrier.texts[size_t(field)] = to_.texts[size_t(field)];
        QList<CardLine> lines;
        const QList<QByteArray> names = propertiesOfField(field);
        for (const CardLine& line : writtenLines(carrier))
            if (names.contains(line.property.name) && !(field != SyncField::Name && line.property.name == "FN"))
                lines << line;
        return lines;
    }

    QList<CardLine> photoLines(const QByteArray& photo) const
    {
        if (photo.isEmpty())
            return {};
        return {MakeCardLine("PHOTO;ENCODING=b;TYPE=JPEG", photo.toBase64())};
    }

    // Every line of the field's properties out, the new ones in where the first stood.
    void replaceAll(SyncField field, const QList<CardLine>& fresh)
    {
        const QList<QByteArray> names = propertiesOfField(field);
        qsizetype at = -1;
        for (qsizetype i = lines_.size() - 1; i >= 0; --i) {
            if (names.contains(lines_[i].property.name) && holdsColumn(field, lines_[i])) {
                at = i;
                removeLine(i);
            }
        }
        for (qsizetype i = 0; i < fresh.size(); ++i)
            insert(fresh[i], at < 0 ? -1 : at + i);
    }

    // Whether the line gives the column its value (an X-ALTBDAY beside a 生日 of another day is a value of its own).
    bool holdsColumn(SyncField field, const CardLine& line) const
    {
        if (field != SyncField::Birthday || line.property.name != "X-ALTBDAY")
            return true;
        return solo(line).texts[size_t(field)].trimmed() == from_.texts[size_t(field)].trimmed();
    }

    void column(SyncField field)
    {
        const QString& old = from_.texts[size_t(field)];
        const QString& now = to_.texts[size_t(field)];
        const qsizetype at = old.trimmed().isEmpty() ? -1 : lineHolding(field, old);
        if (at < 0) {
            if (!now.trimmed().isEmpty())
                for (const CardLine& line : columnLines(field))
                    insert(line);
            return;
        }
        if (now.trimmed().isEmpty())
            return removeLine(at);
        CardLine& line = lines_[at];
        const QByteArray head = LineHead(line);
        QByteArray value;
        if (field == SyncField::Address) {
            QList<QByteArray> parts = line.property.value.split(';');
            while (parts.size() < 7)
                parts << QByteArray();
            parts[0].clear();
            parts[1].clear();
            parts[2] = escaped(now);
            parts[3].clear();
            parts[4].clear();
            value = parts.join(';');
        } else if (field == SyncField::Phone) {
            value = now.toUtf8();
        } else if (line.property.name == "IMPP") {
            value = "qq:" + escaped(now);
        } else {
            value = escaped(now);
        }
        line = MakeCardLine(head, value);
    }

    void category()
    {
        const QString old = from_.text(ContactText::Category).trimmed();
        const QString now = to_.text(ContactText::Category).trimmed();
        for (qsizetype i = 0; i < lines_.size() && !old.isEmpty(); ++i) {
            if (lines_[i].property.name != "CATEGORIES")
                continue;
            QStringList items = splitEscaped(decodeValueText(lines_[i].property).text, QLatin1Char(','));
            for (QString& item : items)
                item = unescapeText(item, true);
            const qsizetype place = items.indexOf(old);
            if (place < 0)
                continue;
            if (now.isEmpty())
                items.removeAt(place);
            else
                items[place] = now;
            if (items.isEmpty())
                return removeLine(i);
            QByteArrayList parts;
            for (const QString& item : items)
                parts << escaped(item);
            lines_[i] = MakeCardLine(LineHead(lines_[i]), parts.join(','));
            return;
        }
        if (!now.isEmpty())
            insert(MakeCardLine("CATEGORIES", escaped(now)));
    }

    void name()
    {
        const QString now = to_.text(ContactText::Name);
        const NameParts parts = splitPersonName(now);
        const QList<CardLine> fresh = columnLines(SyncField::Name);
        bool company = false;
        for (const CardLine& line : lines_)
            company =
                company || (line.property.name == "X-ABSHOWAS" && line.property.value.trimmed().toUpper() == "COMPANY");
        setOrInsert("FN", escaped(now));
        for (qsizetype i = 0; i < lines_.size(); ++i) {
            CardLine& line = lines_[i];
            if (line.property.name == "N" && !company) {
                QList<QByteArray> components = line.property.value.split(';');
                while (components.size() < 5)
                    components << QByteArray();
                components[0] = escaped(parts.family);
                components[1] = escaped(parts.given);
                components[2].clear();
                line = MakeCardLine(LineHead(line), components.join(';'));
            } else if (line.property.name == "ORG" && company) {
                QList<QByteArray> components = line.property.value.split(';');
                components[0] = escaped(now);
                line = MakeCardLine(LineHead(line), components.join(';'));
            }
        }
        // Phonetic names that spelled the old name spell the new one; others were the person's own.
        const NameParts old = splitPersonName(from_.text(ContactText::Name));
        for (qsizetype i = lines_.size() - 1; i >= 0; --i) {
            const QByteArray& name = lines_[i].property.name;
            if (name != "X-PHONETIC-LAST-NAME" && name != "X-PHONETIC-FIRST-NAME")
                continue;
            const bool last = name == "X-PHONETIC-LAST-NAME";
            if (text(lines_[i]).compare(phoneticOf(last ? old.family : old.given, last), Qt::CaseInsensitive) == 0)
                removeLine(i);
        }
        if (!company)
            for (const CardLine& line : fresh)
                if (line.property.name.startsWith("X-PHONETIC-") && indexOf(line.property.name) < 0)
                    insert(line);
    }

    // A value lifted from the card out again: its line, or its part of an address.
    void removeValue(const DraftExtra& value)
    {
        const QString key = ValueKey(value.label, value.value);
        const QString base = LabelBase(value.label);
        for (qsizetype i = 0; i < lines_.size(); ++i) {
            const QByteArray& name = lines_[i].property.name;
            if (name == "BEGIN" || name == "END" || name == "VERSION" || name == "FN" || name == "N")
                continue;
            const ContactDraft alone = solo(lines_[i]);
            bool holds = false;
            for (const DraftExtra& extra : alone.extras)
                holds = holds || ValueKey(extra.label, extra.value) == key;
            for (int c = 0; c < ContactTextCount && !holds; ++c)
                if (c != int(ContactText::Name) || name == "FN")
                    holds = ValueKey(value.label, alone.texts[size_t(c)]) == key && !alone.texts[size_t(c)].isEmpty();
            if (!holds)
                continue;
            if (name == "ADR" && (base == u"邮编"_qs || base == u"国家"_qs)) {
                QList<QByteArray> parts = lines_[i].property.value.split(';');
                const int place = base == u"邮编"_qs ? 5 : 6;
                if (parts.size() > place)
                    parts[place].clear();
                lines_[i] = MakeCardLine(LineHead(lines_[i]), parts.join(';'));
                return;
            }
            return removeLine(i);
        }
    }

    void appendToNote(const QString& more)
    {
        const qsizetype at = indexOf("NOTE");
        if (at < 0)
            return insert(MakeCardLine("NOTE", escaped(more)));
        const QString note = text(lines_[at]);
        lines_[at] = MakeCardLine(LineHead(lines_[at]), escaped(note.isEmpty() ? more : note + NoteSeparator + more));
    }

    // A line written for another card, its group renamed to one this card does not use.
    CardLine regrouped(const CardLine& line)
    {
        const QByteArray group = line.property.group;
        if (group.isEmpty())
            return line;
        if (!renamed_.contains(group)) {
            int n = 1;
            while (groups_.contains("item" + QByteArray::number(n)))
                ++n;
            renamed_.insert(group, "item" + QByteArray::number(n));
            groups_.insert("item" + QByteArray::number(n));
        }
        return MakeCardLine(renamed_.value(group) + LineHead(line).mid(group.size()), line.property.value);
    }

    qsizetype indexOf(QByteArrayView name) const
    {
        for (qsizetype i = 0; i < lines_.size(); ++i)
            if (lines_[i].property.name == name)
                return i;
        return -1;
    }

    void setOrInsert(const QByteArray& name, const QByteArray& value)
    {
        const qsizetype at = indexOf(name);
        if (at < 0)
            return insert(MakeCardLine(name, value));
        lines_[at] = MakeCardLine(LineHead(lines_[at]), value);
    }

    // One line of that name, with the value.
    void setSingle(const QByteArray& name, const QByteArray& value)
    {
        for (qsizetype i = lines_.size() - 1; i >= 0; --i)
            if (lines_[i].property.name == name)
                lines_.removeAt(i);
        insert(MakeCardLine(name, value));
    }

    // Before END unless a place is given.
    void insert(const CardLine& line, qsizetype at = -1)
    {
        if (at < 0) {
            at = lines_.size();
            if (!lines_.isEmpty() && lines_.last().property.name == "END")
                --at;
        }
        lines_.insert(at, line);
    }

    // The line, and the label of its group when no other line of the group is left.
    void removeLine(qsizetype at)
    {
        const QByteArray group = lines_[at].property.group;
        lines_.removeAt(at);
        if (group.isEmpty())
            return;
        bool others = false;
        for (const CardLine& line : lines_)
            others =
                others
                || (line.property.group.compare(group, Qt::CaseInsensitive) == 0 && line.property.name != "X-ABLABEL");
        if (!others)
            lines_.removeIf(
                [&](const CardLine& line) { return line.property.group.compare(group, Qt::CaseInsensitive) == 0; });
    }

    QList<CardLine> lines_;
    const ContactFields& from_;
    const ContactFields& to_;
    std::optional<CardLine> version_;
    QSet<QByteArray> groups_;
    QHash<QByteArray, QByteArray> renamed_;
};

}  // namespace

QByteArray SyncProductId()
{
    return QByteArrayLiteral("-//Tessaly//通讯录//ZH");
}

QByteArray PatchCard(const QByteArray& card, const ContactFields& cardFields, const ContactFields& target,
                     const CardChanges& changes, const QDateTime& now)
{
    Patcher patcher(card, cardFields, target);
    for (SyncField field : changes.fields)
        patcher.field(field, changes.photo);
    if (changes.values)
        patcher.values();
    return patcher.result(now);
}

QByteArray NewCard(const StoredContact& record, const QByteArray& uid, const QDateTime& now)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeVCards(buffer, {record});
    QList<CardLine> lines = SplitCard(bytes);
    const qsizetype at = std::min<qsizetype>(2, lines.size());
    lines.insert(at, MakeCardLine("PRODID", SyncProductId()));
    lines.insert(at + 1, MakeCardLine("UID", uid));
    lines.insert(lines.size() - 1, MakeCardLine("REV", revision(now)));
    return JoinCard(lines);
}
