#include "VCardWriter.h"

#include "exchange/ChineseName.h"
#include "exchange/ContactLabels.h"
#include "exchange/ContactValues.h"
#include "exchange/DraftName.h"
#include "exchange/PhoneNumber.h"
#include "exchange/birthday/ChineseAltBirthday.h"
#include "exchange/pinyin/NameReading.h"
#include "exchange/vcard/VCardCard.h"
#include "exchange/vcard/VCardDate.h"
#include "exchange/vcard/VCardLabels.h"
#include "exchange/vcard/VCardOutput.h"

#include <QHash>
#include <algorithm>
#include <array>

namespace {

// Labels whose values go back into a property of their own, as text.
const QHash<QString, QByteArray>& textProperties()
{
    static const QHash<QString, QByteArray> names = {
        {u"职务"_qs, "TITLE"},
        {u"角色"_qs, "ROLE"},
        {u"网址"_qs, "URL"},
        {u"网页"_qs, "URL"},
        {u"昵称"_qs, "NICKNAME"},
        {u"即时通讯"_qs, "IMPP"},
        {u"纪念日"_qs, "X-ANNIVERSARY"},
        {u"性别"_qs, "X-GENDER"},
        {u"关系人"_qs, "RELATED"},
        {u"时区"_qs, "TZ"},
        {u"语言"_qs, "LANG"},
        {u"QQ"_qs, "X-QQ"},
        {u"社交账号"_qs, "X-SOCIALPROFILE"},
        {u"助理"_qs, "X-ASSISTANT"},
        {u"上司"_qs, "X-MANAGER"},
        {u"配偶"_qs, "X-SPOUSE"},
    };
    return names;
}

// Labels whose values are gathered and written in their place, not each on a
// line of its own: the titles into N, the companies and departments into ORG,
// the addresses, postal codes and countries into ADR, the categories into
// CATEGORIES, the kinds of the numbers and addresses of the columns into their TEL and ADR.
enum Gathered {
    Titles,
    Companies,
    Departments,
    Addresses,
    Codes,
    Countries,
    Categories,
    PhoneKinds,
    AddressKinds,
    GatheredKinds
};
const QStringList& gatheredLabels()
{
    // In the order of Gathered.
    static const QStringList labels = {u"称谓"_qs,
                                       u"单位"_qs,
                                       u"部门"_qs,
                                       u"地址"_qs,
                                       u"邮编"_qs,
                                       u"国家"_qs,
                                       u"类别"_qs,
                                       PhoneKindLabel.toString(),
                                       AddressKindLabel.toString()};
    return labels;
}

// The labels a name is taken from when a record has none of a person (DraftName.h):
// such a name is written whole, never split into a family and a given name.
bool isNameOfNoPerson(const QString& name, const ContactValues& v)
{
    if (name.contains(u'@') || FitPhoneColumn(name, int(name.size())).wholeText)
        return true;
    return std::any_of(v.values.cbegin(), v.values.cend(), [&name](const DraftExtra& value) {
        const QStringView base = LabelBaseView(value.label);
        return value.value == name && (base == AccountLabel || isMailLabel(base) || isPhoneLabel(base));
    });
}

// A value whose commas and semicolons go out as they are (a number, Android's
// fields), as a reader gives it back: each line break, CR LF, CR or LF, one
// blank, since a bare CR ends a line for readers too; each backslash doubled,
// since readers take one as the start of an escape.
QString rawValue(QString text)
{
    return text.replace(u"\r\n"_qs, u" "_qs).replace(u'\r', u' ').replace(u'\n', u' ').replace(u"\\"_qs, u"\\\\"_qs);
}

// A property no Chinese label stands for keeps its own name as its label.
bool isPropertyName(const QString& label)
{
    return isImportLabel(label) && label.front() >= u'A' && label.front() <= u'Z'
           && isKeptUnderItsOwnName(label.toLatin1());
}

// One card's values on their way out; what no property takes stays in the note.
class CardWriter {
public:
    CardWriter(VCardOutput& out, const StoredContact& contact)
        : out_(out), v_(LiftValues(contact)), storedPhone_(contact.text(ContactText::Phone))
    {
    }

    void write(const QByteArray& photo)
    {
        out_.line("BEGIN", "VCARD");
        out_.line("VERSION", "3.0");
        const QString& name = v_.text(ContactText::Name);
        std::array<QStringList, GatheredKinds> gathered;
        QStringList addressLabels;  // beside gathered[Addresses]: each one's label, its kind in brackets
        for (const DraftExtra& value : v_.values) {
            const qsizetype kind = gatheredLabels().indexOf(LabelBase(value.label));
            if (kind >= 0)
                gathered[size_t(kind)] << value.value;
            if (kind == Addresses)
                addressLabels << value.label;
        }
        QStringList& addresses = gathered[Addresses];
        QStringList& categories = gathered[Categories];
        const bool company = gathered[Companies].contains(name);
        writeName(name, company, gathered[Titles]);
        writeOrganizations(gathered[Companies], gathered[Departments]);
        writePhone(gathered[PhoneKinds].value(0));
        const std::optional<Birthday> birthday = ReadBirthday(v_.text(ContactText::Birthday));
        lunarWritten_ = birthday && birthday->isLunar();
        for (const DraftExtra& value : v_.values)
            writeValue(value);
        if (!v_.text(ContactText::QQ).isEmpty())
            out_.text("X-QQ", v_.text(ContactText::QQ));
        writeBirthday(v_.text(ContactText::Birthday), birthday);
        if (!v_.text(ContactText::Address).isEmpty()) {
            addresses.prepend(v_.text(ContactText::Address));
            addressLabels.prepend(LabelWithKind(u"地址"_qs, gathered[AddressKinds].value(0)));
        }
        writeAddresses(addresses, addressLabels, gathered[Codes], gathered[Countries]);
        if (!v_.text(ContactText::Category).isEmpty())
            categories.prepend(v_.text(ContactText::Category));
        for (const QString& category : categories)
            out_.text("CATEGORIES", category);
        noteRest_.prepend(v_.text(ContactText::Note));
        noteRest_.removeAll(QString());
        if (!noteRest_.isEmpty())
            out_.text("NOTE", noteRest_.join(NoteSeparator));
        if (!photo.isEmpty())
            out_.line("PHOTO;ENCODING=b;TYPE=JPEG", photo.toBase64());
        out_.line("END", "VCARD");
    }

private:
    void writeName(const QString& name, bool company, const QStringList& titles)
    {
        out_.text("FN", name);
        if (company || isNameOfNoPerson(name, v_)) {
            // Phones show such a card by its company, or by its address or number, and
            // file it under no person's name: it is not split as if its first character were a surname.
            out_.line("N", ";;;;");
            if (company)
                out_.line("X-ABShowAs", "COMPANY");
            return;
        }
        const NameParts parts = splitPersonName(name);
        QByteArray value;
        VCardOutput::appendEscaped(value, parts.family);
        value += ';';
        VCardOutput::appendEscaped(value, parts.given);
        value += ";;";
        VCardOutput::appendEscaped(value, titles.value(0));
        value += ';';
        VCardOutput::appendEscaped(value, titles.mid(1).join(u' '));
        out_.line("N", value);
        // Phones sort Chinese names by these under a non-Chinese interface.
        const QString family = phoneticOf(parts.family, true);
        const QString given = phoneticOf(parts.given, false);
        if (!family.isEmpty())
            out_.text("X-PHONETIC-LAST-NAME", family);
        if (!given.isEmpty())
            out_.text("X-PHONETIC-FIRST-NAME", given);
    }

    // company;department;...: the departments go with the first company.
    void writeOrganizations(const QStringList& companies, const QStringList& departments)
    {
        for (qsizetype i = 0; i < std::max<qsizetype>(companies.size(), departments.isEmpty() ? 0 : 1); ++i) {
            QByteArray value;
            VCardOutput::appendEscaped(value, companies.value(i));
            for (const QString& department : i == 0 ? departments : QStringList()) {
                value += ';';
                VCardOutput::appendEscaped(value, department);
            }
            out_.line("ORG", value);
        }
    }

    // The number of 电话 under the kind it came with; without one, a mobile's or any voice line's.
    void writePhone(const QString& kind)
    {
        const QString& phone = v_.text(ContactText::Phone);
        if (phone.isEmpty())
            return;
        if (!kind.isEmpty())
            return tel(phoneHead(kind), phone);
        tel(isChineseMobileNumber(storedPhone_) ? "TEL;TYPE=CELL" : "TEL;TYPE=VOICE", phone);
    }

    // TEL with the types of the label, and the label itself beside it when the types
    // alone would not give it back ("商务电话", "电话（老家）").
    QByteArray phoneHead(const QString& label)
    {
        const QString base = LabelBase(label);
        const QByteArray head = "TEL;TYPE=" + phoneTypesOfLabel(base);
        return isLabelOfItsTypes(base) ? grouped(label, head) : groupedAs(base, head);
    }

    // A number as written, extension and pauses included: no escapes a dialler would keep.
    void tel(const QByteArray& head, const QString& number) { out_.line(head, rawValue(number).toUtf8()); }

    // "item1.TEL" with "item1.X-ABLabel:老家" when the person named the kind.
    QByteArray grouped(const QString& label, const QByteArray& head) { return groupedAs(LabelKind(label), head); }

    QByteArray groupedAs(const QString& name, const QByteArray& head)
    {
        if (name.isEmpty())
            return head;
        const QByteArray group = "item" + QByteArray::number(++groups_);
        out_.text(group + ".X-ABLabel", name);
        return group + '.' + head;
    }

    void writeValue(const DraftExtra& value)
    {
        const QString base = LabelBase(value.label);
        if (isPhoneLabel(base))
            return tel(phoneHead(value.label), value.value);
        if (isMailLabel(base))
            return out_.text(grouped(value.label, "EMAIL;TYPE=INTERNET"), value.value);
        const auto property = textProperties().constFind(base);
        if (property != textProperties().constEnd())
            return out_.text(grouped(value.label, *property), value.value);
        if (gatheredLabels().contains(base))
            return;
        if (base == LunarBirthdayLabel && !lunarWritten_) {
            // A lunar birthday kept beside a 生日 of another kind: Apple's one lunar birthday.
            const std::optional<Birthday> lunar = ReadBirthday(value.value);
            if (lunar && lunar->isLunar()) {
                lunarWritten_ = true;
                return writeLunarBirthday(*lunar);
            }
        }
        if (isPropertyName(base) && value.label == base)
            return out_.line(base.toLatin1(), escapedUnlessStructured(base, value.value));
        noteRest_ << value.label + LabelSeparator + value.value;
    }

    // Android's own kinds keep their ";" between the fields.
    static QByteArray escapedUnlessStructured(const QString& name, const QString& value)
    {
        if (name == u"X-ANDROID-CUSTOM"_qs)
            return rawValue(value).toUtf8();
        QByteArray escaped;
        VCardOutput::appendEscaped(escaped, value);
        return escaped;
    }

    // A lunar birthday has no BDAY: a reader that knows only BDAY would
    // remind on the Gregorian day of birth, a different day every year.
    void writeBirthday(const QString& birthday, const std::optional<Birthday>& read)
    {
        if (birthday.isEmpty())
            return;
        if (read && read->isLunar())
            writeLunarBirthday(*read);
        else if (read) {
            const VCard30Date date = birthdayAsVCard30Date(birthday);
            out_.line("BDAY" + date.parameters, date.value.toLatin1());
        }
        // The text as typed, so a round trip gives it back even when it is no date.
        out_.text("X-TESSALY-BIRTHDAY", birthday);
    }

    void writeLunarBirthday(const Birthday& lunar) { out_.line("X-ALTBDAY;CALSCALE=chinese", ChineseAltDateOf(lunar)); }

    // pobox;extended;street;locality;region;code;country: the whole address as the street,
    // the postal codes and countries in the order they came. A work address is WORK, one
    // the person named is grouped with its name, the first of the others HOME.
    void writeAddresses(const QStringList& addresses, const QStringList& labels, const QStringList& codes,
                        const QStringList& countries)
    {
        const qsizetype count = std::max({addresses.size(), codes.size(), countries.size()});
        for (qsizetype i = 0; i < count; ++i) {
            QByteArray value(";;");
            VCardOutput::appendEscaped(value, addresses.value(i));
            value += ";;;";
            VCardOutput::appendEscaped(value, codes.value(i));
            value += ';';
            VCardOutput::appendEscaped(value, countries.value(i));
            const QString kind = LabelKind(labels.value(i));
            if (kind == u"工作"_qs)
                out_.line("ADR;TYPE=WORK", value);
            else if (!kind.isEmpty())
                out_.line(groupedAs(kind, "ADR"), value);
            else
                out_.line(i == 0 ? "ADR;TYPE=HOME" : "ADR", value);
        }
    }

    VCardOutput& out_;
    const ContactValues v_;
    const QString storedPhone_;  // the number alone, which tells a mobile
    QStringList noteRest_;
    int groups_ = 0;
    bool lunarWritten_ = false;  // a card has one X-ALTBDAY
};

}  // namespace

void writeVCards(QIODevice& device, const QList<StoredContact>& contacts)
{
    VCardOutput out(device);
    for (const StoredContact& contact : contacts)
        CardWriter(out, contact).write(contact.photo);
    out.flush();
}
