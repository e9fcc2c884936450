#include "VCardWriter.h"

#include "exchange/ChineseName.h"
#include "exchange/ContactLabels.h"
#include "exchange/ContactValues.h"
#include "exchange/PhoneNumber.h"
#include "exchange/birthday/ChineseAltBirthday.h"
#include "exchange/pinyin/NameReading.h"
#include "exchange/vcard/VCardCard.h"
#include "exchange/vcard/VCardDate.h"
#include "exchange/vcard/VCardLabels.h"
#include "exchange/vcard/VCardOutput.h"

#include <QHash>
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
    };
    return names;
}

// Labels whose values are gathered and written in their place, not each on a
// line of its own: the titles into N, the companies into ORG, the addresses,
// postal codes and countries into ADR, the categories into CATEGORIES.
enum Gathered { Titles, Companies, Addresses, Codes, Countries, Categories, GatheredKinds };
const QStringList& gatheredLabels()
{
    // In the order of Gathered.
    static const QStringList labels = {u"称谓"_qs, u"单位"_qs, u"地址"_qs, u"邮编"_qs, u"国家"_qs, u"类别"_qs};
    return labels;
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
        for (const DraftExtra& value : v_.values) {
            const qsizetype kind = gatheredLabels().indexOf(LabelBase(value.label));
            if (kind >= 0)
                gathered[size_t(kind)] << value.value;
        }
        QStringList& addresses = gathered[Addresses];
        QStringList& categories = gathered[Categories];
        const bool company = gathered[Companies].contains(name);
        writeName(name, company, gathered[Titles]);
        for (const QString& org : gathered[Companies])
            out_.text("ORG", org);
        writePhone();
        const std::optional<Birthday> birthday = ReadBirthday(v_.text(ContactText::Birthday));
        lunarWritten_ = birthday && birthday->isLunar();
        for (const DraftExtra& value : v_.values)
            writeValue(value);
        if (!v_.text(ContactText::QQ).isEmpty())
            out_.text("X-QQ", v_.text(ContactText::QQ));
        writeBirthday(v_.text(ContactText::Birthday), birthday);
        if (!v_.text(ContactText::Address).isEmpty())
            addresses.prepend(v_.text(ContactText::Address));
        writeAddresses(addresses, gathered[Codes], gathered[Countries]);
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
        if (company) {
            // Phones show such a card by its company, and file it under no person's name.
            out_.line("N", ";;;;");
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

    void writePhone()
    {
        const QString& phone = v_.text(ContactText::Phone);
        if (!phone.isEmpty())
            tel(isChineseMobileNumber(storedPhone_) ? "TEL;TYPE=CELL" : "TEL;TYPE=VOICE", phone);
    }

    // A number as written, extension and pauses included: no escapes a dialler would keep.
    void tel(const QByteArray& head, const QString& number) { out_.line(head, rawValue(number).toUtf8()); }

    // "item1.TEL" with "item1.X-ABLabel:老家" when the person named the kind.
    QByteArray grouped(const QString& label, const QByteArray& head)
    {
        const QString kind = LabelKind(label);
        if (kind.isEmpty())
            return head;
        const QByteArray group = "item" + QByteArray::number(++groups_);
        out_.text(group + ".X-ABLabel", kind);
        return group + '.' + head;
    }

    void writeValue(const DraftExtra& value)
    {
        const QString base = LabelBase(value.label);
        if (isPhoneLabel(base))
            return tel(grouped(value.label, "TEL;TYPE=" + phoneTypesOfLabel(base)), value.value);
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
        else if (read)
            out_.line("BDAY", birthdayAsVCardDate(birthday).toLatin1());
        // The text as typed, so a round trip gives it back even when it is no date.
        out_.text("X-TESSALY-BIRTHDAY", birthday);
    }

    void writeLunarBirthday(const Birthday& lunar) { out_.line("X-ALTBDAY;CALSCALE=chinese", ChineseAltDateOf(lunar)); }

    // pobox;extended;street;locality;region;code;country: the whole address as the street,
    // the postal codes and countries in the order they came.
    void writeAddresses(const QStringList& addresses, const QStringList& codes, const QStringList& countries)
    {
        const qsizetype count = std::max({addresses.size(), codes.size(), countries.size()});
        for (qsizetype i = 0; i < count; ++i) {
            QByteArray value(";;");
            VCardOutput::appendEscaped(value, addresses.value(i));
            value += ";;;";
            VCardOutput::appendEscaped(value, codes.value(i));
            value += ';';
            VCardOutput::appendEscaped(value, countries.value(i));
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
