#include "VCardCard.h"

#include "exchange/AddressText.h"
#include "exchange/ChineseName.h"
#include "exchange/ContactLabels.h"
#include "exchange/DraftName.h"
#include "exchange/PhotoFitting.h"
#include "exchange/birthday/ChineseAltBirthday.h"
#include "exchange/pinyin/NameReading.h"
#include "exchange/vcard/VCardDate.h"
#include "exchange/vcard/VCardLabels.h"
#include "exchange/vcard/VCardValue.h"
#include "platform/TextRules.h"

#include <QHash>
#include <algorithm>
#include <limits>

namespace {

// How the report and 备注 name a property that has no column of its own.
QString labelOf(const QByteArray& name)
{
    static const QHash<QByteArray, QString> labels = {
        {"FN", u"姓名"_qs},
        {"TEL", u"电话"_qs},
        {"EMAIL", u"邮箱"_qs},
        {"ADR", u"地址"_qs},
        {"LABEL", u"地址"_qs},
        {"CATEGORIES", u"类别"_qs},
        {"NOTE", u"备注"_qs},
        {"X-QQ", u"QQ"_qs},
        {"BDAY", u"生日"_qs},
        {"IMPP", u"即时通讯"_qs},
        {"X-AIM", u"即时通讯"_qs},
        {"X-MSN", u"即时通讯"_qs},
        {"X-ICQ", u"即时通讯"_qs},
        {"X-YAHOO", u"即时通讯"_qs},
        {"X-SKYPE", u"即时通讯"_qs},
        {"X-SKYPE-USERNAME", u"即时通讯"_qs},
        {"X-JABBER", u"即时通讯"_qs},
        {"X-GOOGLE-TALK", u"即时通讯"_qs},
        {"X-WECHAT", u"即时通讯"_qs},
        {"ORG", u"单位"_qs},
        {"TITLE", u"职务"_qs},
        {"ROLE", u"角色"_qs},
        {"URL", u"网址"_qs},
        {"NICKNAME", u"昵称"_qs},
        {"ANNIVERSARY", u"纪念日"_qs},
        {"X-ANNIVERSARY", u"纪念日"_qs},
        {"GENDER", u"性别"_qs},
        {"X-GENDER", u"性别"_qs},
        {"RELATED", u"关系人"_qs},
        {"GEO", u"位置"_qs},
        {"TZ", u"时区"_qs},
        {"LANG", u"语言"_qs},
        {"X-PHONETIC-FIRST-NAME", u"拼音"_qs},
        {"X-PHONETIC-MIDDLE-NAME", u"拼音"_qs},
        {"X-PHONETIC-LAST-NAME", u"拼音"_qs},
        // What address books write under names of their own, read as what they are.
        {"X-SOCIALPROFILE", u"社交账号"_qs},
        {"X-ASSISTANT", u"助理"_qs},
        {"X-MANAGER", u"上司"_qs},
        {"X-SPOUSE", u"配偶"_qs},
    };
    const auto found = labels.constFind(name);
    return found != labels.constEnd() ? *found : QString::fromLatin1(name);
}

// Properties that describe the card rather than the person.
// Names are compared as views: their sizes first, no bytes counted for each comparison.
bool isAboutTheCard(QByteArrayView name)
{
    static constexpr QByteArrayView names[] = {
        "VERSION", "PRODID",  "REV",          "UID", "SORT-STRING", "KIND",    "CLASS",      "SOURCE",  "NAME",
        "MAILER",  "PROFILE", "CLIENTPIDMAP", "XML", "X-ABLABEL",   "X-ABUID", "X-ABSHOWAS", "X-ABADR",
    };
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

// Pictures, sounds and keys, which no text column can hold.
bool isBinary(QByteArrayView name)
{
    return name == "LOGO" || name == "SOUND" || name == "KEY";
}

constexpr int notPreferred = std::numeric_limits<int>::max();

// A number or address that competes for its column.
struct Candidate {
    int order = 0;
    QString label;  // as an extra, when it loses
    QString value;
    int preference = notPreferred;  // lower wins; PREF=1 and TYPE=PREF are 1
    bool cell = false;
};

int preferenceOf(const VCardProperty& property)
{
    bool ok = false;
    const int pref = property.parameter("PREF").toInt(&ok);
    if (ok && pref > 0)
        return pref;
    return property.hasType("PREF") ? 1 : notPreferred;
}

// The preferred one; else, when asked, the first cell phone; else the first.
qsizetype chosen(const QList<Candidate>& candidates, bool cellFirst)
{
    qsizetype best = -1;
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        if (candidates[i].preference != notPreferred
            && (best < 0 || candidates[i].preference < candidates[best].preference))
            best = i;
    }
    if (best < 0 && cellFirst) {
        for (qsizetype i = 0; i < candidates.size() && best < 0; ++i) {
            if (candidates[i].cell)
                best = i;
        }
    }
    return best < 0 && !candidates.isEmpty() ? 0 : best;
}

class CardMapper {
public:
    CardMapper(int line, const QList<VCardProperty>& properties) : properties_(properties)
    {
        draft_.line = line;
        for (const VCardProperty& p : properties) {
            const QByteArrayView name = p.name;
            if (name == "VERSION") {
                const QByteArray version = p.value.trimmed();
                newlineEscapes_ = version != "2.1" && version != "1.0";
                uriValues_ = version.startsWith('4');
            }
            if (name == "X-TESSALY-BIRTHDAY")
                typedBirthday_ = true;
            if (name == "X-ABSHOWAS" && p.value.trimmed().toUpper() == "COMPANY")
                showsCompany_ = true;
            if (name == "X-ABLABEL" && !p.group.isEmpty()) {
                const QString label = unescapeText(decodeValueText(p).text, true).trimmed();
                if (!label.startsWith(QLatin1String("_$!<")))
                    groupLabels_.insert(p.group.toLower(), label);
                else  // the address book's own words ("_$!<Work>!$_"): a kind the types may not say
                    ownLabels_.insert(p.group.toLower(), label.mid(4, label.size() - 8).toLower());
            }
        }
    }

    ContactDraft map()
    {
        for (int i = 0; i < properties_.size(); ++i) {
            order_ = i;
            group_ = properties_[i].group.toLower();
            take(properties_[i]);
        }
        group_.clear();
        settle(phones_, ContactText::Phone, true);
        settle(addresses_, ContactText::Address, false);
        settleLunarBirthdays();
        nameFromParts();
        companyAsName();
        settlePhonetics();
        std::stable_sort(extras_.begin(), extras_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& extra : extras_)
            draft_.extras.append(std::move(extra.second));
        NameFromWhatItHas(draft_);
        return std::move(draft_);
    }

private:
    void take(const VCardProperty& p)
    {
        const QByteArrayView name = p.name;
        if (isAboutTheCard(name))
            return;
        if (name == "PHOTO")
            return photo(p);
        if (isBinary(name))
            return draft_.leftOut.append(QStringLiteral("%1：未导入").arg(QString::fromLatin1(name)));
        if (name == "N")
            return nameParts(p);
        if (name == "ADR")
            return address(p);
        if (name == "ORG")
            return organization(p);
        if (name == "X-ANDROID-CUSTOM")
            return androidCustom(p);
        if (name == "CATEGORIES") {
            for (const QString& category : parts(p, QLatin1Char(','))) {
                // Google puts every contact into its group "myContacts": no category of the person's.
                if (category.compare(QLatin1String("myContacts"), Qt::CaseInsensitive) != 0)
                    fill(ContactText::Category, u"类别"_qs, category);
            }
            return;
        }
        QString value = text(p);
        if (IsAllWhiteSpace(value))  // a value of blanks neither fills a column nor becomes an extra
            return;
        if (name == "FN")
            fill(ContactText::Name, u"姓名"_qs, value);
        else if (name == "TEL")
            phone(p, isUri(p) ? withoutScheme(value, QLatin1String("tel:")) : value);
        else if (name == "X-QQ")
            fill(ContactText::QQ, u"QQ"_qs, value);
        else if (name == "IMPP" && isQQ(p, value))
            fill(ContactText::QQ, u"QQ"_qs, value.mid(value.indexOf(QLatin1Char(':')) + 1));
        else if (name == "X-TESSALY-BIRTHDAY")
            fill(ContactText::Birthday, u"生日"_qs, value);
        else if (name == "BDAY") {
            if (!typedBirthday_)
                fill(ContactText::Birthday, u"生日"_qs,
                     birthdayFromVCardDate(value, QString::fromLatin1(p.parameter("X-APPLE-OMIT-YEAR"))));
        } else if (name == "X-ALTBDAY" && p.parameter("CALSCALE").compare("chinese", Qt::CaseInsensitive) == 0)
            lunarBirthday(value);
        else if (name == "NOTE")
            fill(ContactText::Note, u"备注"_qs, value);
        else if (name == "X-PHONETIC-LAST-NAME" || name == "X-PHONETIC-FIRST-NAME")
            phonetics_.append({order_, p.name, value});
        else if (name == "X-SOCIALPROFILE" && groupLabel().isEmpty())  // its network as its kind: 社交账号（twitter）
            extra(LabelWithKind(labelOf(p.name), QString::fromUtf8(p.parameter("TYPE"))), value);
        else
            extra(labelOf(p.name), value);
    }

    // A number competes for 电话 unless its label gives it to another person (an exported assistant's).
    void phone(const VCardProperty& p, const QString& number)
    {
        const QString label = phoneLabel(p);
        if (isAnotherPersonsValue(label))
            extras_.append({order_, DraftExtra{label, number}});
        else
            phones_.append({order_, label, number, preferenceOf(p), p.hasType("CELL")});
    }

    void lunarBirthday(const QString& value)
    {
        const std::optional<Birthday> b = BirthdayFromChineseAltDate(value);
        if (!b)
            return extra(labelOf("X-ALTBDAY"), value);
        lunarBirthdays_.append({order_, DraftExtra{labelled(LunarBirthdayLabel.toString()), BirthdayText(*b)}});
    }

    // A card's lunar birthday is its 生日 when it has no other; beside another
    // it is kept under its label, unless that other says the same day.
    void settleLunarBirthdays()
    {
        QString& birthday = draft_.text(ContactText::Birthday);
        for (const auto& [order, lunar] : lunarBirthdays_) {
            if (IsAllWhiteSpace(birthday))
                birthday = lunar.value;
            else if (ReadBirthday(birthday) != ReadBirthday(lunar.value))
                extras_.append({order, lunar});
        }
    }

    // A phonetic name that spells the name as an export spells it again loses
    // nothing when dropped; any other is kept with the extras.
    void settlePhonetics()
    {
        const NameParts parts = splitPersonName(draft_.text(ContactText::Name));
        for (const Phonetic& p : phonetics_) {
            const QString spelled =
                p.name == "X-PHONETIC-LAST-NAME" ? phoneticOf(parts.family, true) : phoneticOf(parts.given, false);
            if (p.value.compare(spelled, Qt::CaseInsensitive) != 0)
                extras_.append({p.order, DraftExtra{labelOf(p.name), p.value}});
        }
    }

    // Android's own kinds: "vnd.android.cursor.item/nickname;小明;1;;..." (kind, value, the value's type, ...).
    void androidCustom(const VCardProperty& p)
    {
        static const QHash<QString, QString> labels = {
            {u"vnd.android.cursor.item/nickname"_qs, u"昵称"_qs},
            {u"vnd.android.cursor.item/relation"_qs, u"关系人"_qs},
            {u"vnd.android.cursor.item/contact_event"_qs, u"纪念日"_qs},
        };
        QStringList fields = parts(p, QLatin1Char(';'));
        const auto known = labels.constFind(fields.first().trimmed());
        if (known != labels.constEnd())
            return extra(*known, fields.value(1));
        fields.removeAll(QString());
        extra(u"X-ANDROID-CUSTOM"_qs, fields.join(QLatin1Char(';')));
    }

    static bool isQQ(const VCardProperty& p, const QString& value)
    {
        return value.startsWith(QLatin1String("qq:"), Qt::CaseInsensitive)
               || p.parameter("X-SERVICE-TYPE").compare("QQ", Qt::CaseInsensitive) == 0 || p.hasType("QQ");
    }

    // Version 4.0 numbers are often "tel:" addresses; earlier ones only with VALUE=uri.
    bool isUri(const VCardProperty& p) const
    {
        return uriValues_ || p.parameter("VALUE").compare("uri", Qt::CaseInsensitive) == 0;
    }

    static QString withoutScheme(const QString& value, QLatin1StringView scheme)
    {
        return value.startsWith(scheme, Qt::CaseInsensitive) ? value.mid(scheme.size()) : value;
    }

    // The column when it is still empty, else an extra under the label.
    void fill(ContactText column, const QString& label, const QString& value)
    {
        if (IsAllWhiteSpace(value))
            return;
        QString& target = draft_.text(column);
        if (target.isEmpty())
            target = value;
        else
            extra(label, value);
    }

    // A label the person gave a group of properties ("item1.X-ABLabel:老家") names its extras too.
    QString labelled(const QString& label) const { return LabelWithKind(label, groupLabel()); }

    QString groupLabel() const { return group_.isEmpty() ? QString() : groupLabels_.value(group_); }

    // A number's label: the one the person gave it (a label that is itself a kind of
    // phone, "商务电话", as it stands), else its kind by its types or by the address
    // book's own label ("手机", "工作传真").
    QString phoneLabel(const VCardProperty& p) const
    {
        const QString custom = groupLabel();
        const QString typed = phoneLabelOfTypes(p);
        if (!custom.isEmpty())
            return isPhoneLabel(custom) ? custom : LabelWithKind(typed, custom);
        return typed == u"电话"_qs && !group_.isEmpty() ? phoneLabelOfAppleLabel(ownLabels_.value(group_)) : typed;
    }

    void extra(const QString& label, const QString& value)
    {
        if (!IsAllWhiteSpace(value))
            extras_.append({order_, DraftExtra{labelled(label), value}});
    }

    DecodedText decoded(const VCardProperty& p)
    {
        DecodedText d = decodeValueText(p);
        if (!d.clean)
            draft_.leftOut.append(QStringLiteral("%1：有无法识别的字节，已换成 \uFFFD").arg(labelOf(p.name)));
        if (d.note.isEmpty())
            return d;
        const QString said = QStringLiteral("%1：%2").arg(labelOf(p.name), d.note);
        if (!draft_.said.contains(said))
            draft_.said.append(said);
        return d;
    }

    QString text(const VCardProperty& p) { return unescapeText(decoded(p).text, newlineEscapes_); }

    QStringList parts(const VCardProperty& p, QChar separator)
    {
        QStringList list = splitEscaped(decoded(p).text, separator);
        for (QString& part : list)
            part = unescapeText(part, newlineEscapes_);
        return list;
    }

    // company;department;...: the company, and each unit within it as a 部门 of its own.
    void organization(const VCardProperty& p)
    {
        const QStringList units = parts(p, QLatin1Char(';'));
        extra(u"单位"_qs, units.first());
        for (qsizetype i = 1; i < units.size(); ++i)
            extra(u"部门"_qs, units[i]);
    }

    // family;given;additional;prefix;suffix: the name of a card without FN.
    void nameParts(const VCardProperty& p)
    {
        if (nameOrder_ < 0) {
            nameParts_ = parts(p, QLatin1Char(';'));
            nameOrder_ = order_;
        }
    }

    // The prefix and suffix ("Mr.", "Jr.") are kept as 称谓 whether or not the card has FN.
    void nameFromParts()
    {
        if (nameOrder_ < 0)
            return;
        if (draft_.text(ContactText::Name).isEmpty())
            draft_.text(ContactText::Name) = joinNameParts(nameParts_.mid(0, 3));
        order_ = nameOrder_;
        for (qsizetype i = 3; i < nameParts_.size(); ++i)
            extra(u"称谓"_qs, nameParts_[i]);
    }

    QString firstExtra(const QString& base) const
    {
        for (const auto& extra : extras_)
            if (LabelBase(extra.second.label) == base)
                return extra.second.value.trimmed();
        return QString();
    }

    // A card that says so is shown by phones as its company, whatever its name;
    // a card without a name is named after the extras are in place (DraftName.h).
    void companyAsName()
    {
        QString& name = draft_.text(ContactText::Name);
        const QString company = firstExtra(u"单位"_qs);
        if (!showsCompany_ || company.isEmpty() || name.trimmed() == company)
            return;
        if (!name.trimmed().isEmpty())
            extras_.append({nameOrder_, DraftExtra{u"联系人"_qs, name}});
        name = company;
    }

    // pobox;extended;street;locality;region;code;country, in Chinese order from
    // the largest place down; the postal code and the country go into extras.
    void address(const VCardProperty& p)
    {
        QStringList a = parts(p, QLatin1Char(';'));
        a.resize(7);
        const QStringList places{a[4], a[3], a[2], a[1], a[0]};
        const bool chinese = std::any_of(places.cbegin(), places.cend(), ContainsEastAsianScript);
        const QString joined = joinNameParts(chinese ? WithoutRepeatedPlaces(places) : places);
        // A work address says so; a home one is what an address is taken for.
        const QString kind = p.hasType("WORK") && !p.hasType("HOME") ? u"工作"_qs : QString();
        const QString label = groupLabel().isEmpty() ? LabelWithKind(u"地址"_qs, kind) : labelled(u"地址"_qs);
        if (!joined.isEmpty() && isAnotherPersonsValue(label))
            extras_.append({order_, DraftExtra{label, joined}});
        else if (!joined.isEmpty())
            addresses_.append({order_, label, joined, preferenceOf(p), false});
        extra(u"邮编"_qs, a[5]);
        extra(u"国家"_qs, a[6]);
    }

    // The column takes the best; its kind, which the column cannot hold, is kept beside it.
    void settle(const QList<Candidate>& candidates, ContactText column, bool cellFirst)
    {
        const qsizetype best = chosen(candidates, cellFirst);
        for (qsizetype i = 0; i < candidates.size(); ++i) {
            const Candidate& c = candidates[i];
            if (i != best) {
                extras_.append({c.order, DraftExtra{c.label, c.value}});
                continue;
            }
            draft_.text(column) = c.value;
            const bool phone = column == ContactText::Phone;
            const QString kind = phone ? ColumnPhoneKind(c.label, c.value) : LabelKind(c.label);
            if (!kind.isEmpty())
                extras_.append({c.order, DraftExtra{(phone ? PhoneKindLabel : AddressKindLabel).toString(), kind}});
        }
    }

    void photo(const VCardProperty& p)
    {
        if (photoSeen_) {
            draft_.leftOut.append(u"又一张照片：未导入"_qs);
            return;
        }
        photoSeen_ = true;
        const QByteArray encoding = p.parameter("ENCODING").toUpper();
        const QByteArray value = p.value.trimmed();
        // Some servers put a data URI where base64 was declared: the URI says what it holds.
        const bool dataUri = value.startsWith("data:") || value.startsWith("DATA:");
        if (!dataUri && (encoding == "B" || encoding == "BASE64")) {
            if (!decodeBase64(value, draft_.photo) && !decodeBase64Leniently(value, draft_.photo))
                draft_.leftOut.append(u"照片：base64 数据已损坏，未导入"_qs);
            return;
        }
        if (dataUri) {
            const qsizetype comma = value.indexOf(',');
            const QByteArray head = value.first(comma < 0 ? 0 : comma).toLower();
            if (comma < 0 || !head.endsWith(";base64")
                || (!decodeBase64(value.sliced(comma + 1), draft_.photo)
                    && !decodeBase64Leniently(value.sliced(comma + 1), draft_.photo)))
                draft_.leftOut.append(u"照片：data 链接无法读取，未导入"_qs);
            return;
        }
        // Base64 without its parameter: a picture when its bytes are one.
        QByteArray bytes;
        if (decodeBase64Leniently(value, bytes) && isPictureData(bytes)) {
            draft_.photo = std::move(bytes);
            return;
        }
        if (!value.isEmpty())
            draft_.leftOut.append(QStringLiteral("照片：以链接给出（%1），未导入").arg(quotedForReport(value)));
    }

    const QList<VCardProperty>& properties_;
    ContactDraft draft_;
    QList<std::pair<int, DraftExtra>> extras_;
    struct Phonetic {
        int order;
        QByteArray name;
        QString value;
    };
    QList<Phonetic> phonetics_;
    QList<std::pair<int, DraftExtra>> lunarBirthdays_;  // as the book writes them, in order
    QList<Candidate> phones_;
    QList<Candidate> addresses_;
    QHash<QByteArray, QString> groupLabels_;
    QHash<QByteArray, QString> ownLabels_;  // Apple's words for a group, lower case: "work", "mobile"
    QByteArray group_;
    QStringList nameParts_;
    int nameOrder_ = -1;
    int order_ = 0;
    bool newlineEscapes_ = true;
    bool uriValues_ = false;
    bool typedBirthday_ = false;
    bool showsCompany_ = false;
    bool photoSeen_ = false;
};

}  // namespace

bool isKeptUnderItsOwnName(const QByteArray& name)
{
    static const QList<QByteArray> readOtherwise = {"BEGIN", "END", "PHOTO", "N", "X-TESSALY-BIRTHDAY"};
    return !isAboutTheCard(name) && !isBinary(name) && !readOtherwise.contains(name)
           && labelOf(name) == QLatin1String(name);
}

ContactDraft draftOfCard(int line, const QList<VCardProperty>& properties)
{
    return CardMapper(line, properties).map();
}
