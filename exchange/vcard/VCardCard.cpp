#include "VCardCard.h"

#include "exchange/ChineseName.h"
#include "exchange/ContactLabels.h"
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
                if (!label.startsWith(QLatin1String("_$!<")))  // the address book's own labels say nothing new
                    groupLabels_.insert(p.group.toLower(), label);
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
        nameAsPhonesShowIt();
        settlePhonetics();
        std::stable_sort(extras_.begin(), extras_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto& extra : extras_)
            draft_.extras.append(std::move(extra.second));
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
            return extra(u"单位"_qs, joinNameParts(parts(p, QLatin1Char(';'))));
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
            phones_.append({order_, phoneLabel(p), isUri(p) ? withoutScheme(value, QLatin1String("tel:")) : value,
                            preferenceOf(p), p.hasType("CELL")});
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
        else
            extra(labelOf(p.name), value);
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

    // A number's label: the one the person gave it, else its kind ("手机", "工作传真").
    QString phoneLabel(const VCardProperty& p) const
    {
        const QString custom = groupLabel();
        return custom.isEmpty() ? phoneLabelOfTypes(p) : LabelWithKind(u"电话"_qs, custom);
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

    // family;given;additional;prefix;suffix: the name of a card without FN.
    void nameParts(const VCardProperty& p)
    {
        if (nameOrder_ < 0) {
            nameParts_ = parts(p, QLatin1Char(';'));
            nameOrder_ = order_;
        }
    }

    void nameFromParts()
    {
        if (!draft_.text(ContactText::Name).isEmpty() || nameOrder_ < 0)
            return;
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

    // A card without a name is shown by phones as its company (always, when the
    // card says so), else its nickname, its first e-mail address or its first number.
    void nameAsPhonesShowIt()
    {
        QString& name = draft_.text(ContactText::Name);
        const QString company = firstExtra(u"单位"_qs);
        if (showsCompany_ && !company.isEmpty() && name.trimmed() != company) {
            if (!name.trimmed().isEmpty())
                extras_.append({nameOrder_, DraftExtra{u"联系人"_qs, name}});
            name = company;
            return;
        }
        if (!name.trimmed().isEmpty())
            return;
        const std::pair<QString, QString> sources[] = {
            {u"单位"_qs, company},
            {u"昵称"_qs, firstExtra(u"昵称"_qs)},
            {u"邮箱"_qs, firstExtra(u"邮箱"_qs)},
            {u"电话"_qs, draft_.text(ContactText::Phone).trimmed()},
        };
        for (const auto& [label, value] : sources) {
            if (!value.isEmpty()) {
                name = value;
                draft_.said << QStringLiteral("姓名：名片没有姓名，取自%1").arg(label);
                return;
            }
        }
    }

    // pobox;extended;street;locality;region;code;country, in Chinese order from
    // the largest place down; the postal code and the country go into extras.
    void address(const VCardProperty& p)
    {
        QStringList a = parts(p, QLatin1Char(';'));
        a.resize(7);
        const QString joined = joinNameParts({a[4], a[3], a[2], a[1], a[0]});
        if (!joined.isEmpty())
            addresses_.append({order_, labelled(u"地址"_qs), joined, preferenceOf(p), false});
        extra(u"邮编"_qs, a[5]);
        extra(u"国家"_qs, a[6]);
    }

    void settle(const QList<Candidate>& candidates, ContactText column, bool cellFirst)
    {
        const qsizetype best = chosen(candidates, cellFirst);
        for (qsizetype i = 0; i < candidates.size(); ++i) {
            if (i == best)
                draft_.text(column) = candidates[i].value;
            else
                extras_.append({candidates[i].order, DraftExtra{candidates[i].label, candidates[i].value}});
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
        if (encoding == "B" || encoding == "BASE64") {
            if (!decodeBase64(value, draft_.photo) && !decodeBase64Leniently(value, draft_.photo))
                draft_.leftOut.append(u"照片：base64 数据已损坏，未导入"_qs);
            return;
        }
        if (value.startsWith("data:") || value.startsWith("DATA:")) {
            const qsizetype comma = value.indexOf(',');
            const QByteArray head = value.first(comma < 0 ? 0 : comma).toLower();
            if (comma < 0 || !head.endsWith(";base64") || !decodeBase64(value.sliced(comma + 1), draft_.photo))
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
