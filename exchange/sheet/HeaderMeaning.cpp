#include "HeaderMeaning.h"

#include "store/ContactSchema.h"

#include <QHash>
#include <QRegularExpression>

namespace {

HeaderMeaning column(ContactText c, int rank, QString label = QString())
{
    HeaderMeaning m;
    m.role = HeaderRole::Column;
    m.column = c;
    m.rank = rank;
    m.label = label.isEmpty() ? ContactTextColumn(c) : label;
    return m;
}

HeaderMeaning role(HeaderRole r, QString label = QString())
{
    HeaderMeaning m;
    m.role = r;
    m.label = std::move(label);
    return m;
}

HeaderMeaning addressPart(int address, AddressPart part)
{
    HeaderMeaning m;
    m.role = HeaderRole::AddressPart;
    m.rank = address;
    m.part = part;
    return m;
}

HeaderMeaning ignoredUnless(const QString& defaultValue, const QString& label)
{
    HeaderMeaning m = role(HeaderRole::Extra, label);
    m.defaultValue = defaultValue;
    return m;
}

HeaderMeaning listed(HeaderMeaning m)
{
    m.list = true;
    return m;
}

// Headers as our own export, the window's export and people write them, and
// the fixed columns of Google's and Outlook's contact exports.
const QHash<QString, HeaderMeaning>& fixedHeaders()
{
    static const QHash<QString, HeaderMeaning> table = [] {
        using C = ContactText;
        QHash<QString, HeaderMeaning> t;
        const QStringList& ours = ContactTextColumns();
        for (int i = 0; i < ours.size(); ++i)
            t.insert(ours[i].toLower(), column(static_cast<C>(i), 0));
        t.insert("住址", column(C::Address, 1));
        t.insert("分类", column(C::Category, 1));
        t.insert("分组", column(C::Category, 2));
        t.insert("名字", column(C::Name, 1));
        t.insert("联系人", column(C::Name, 2));
        t.insert("手机", column(C::Phone, 1, "手机"));
        t.insert("手机号", column(C::Phone, 1, "手机"));
        t.insert("手机号码", column(C::Phone, 1, "手机"));
        t.insert("电话号码", column(C::Phone, 2));
        t.insert("联系电话", column(C::Phone, 2));
        t.insert("qq号", column(C::QQ, 1));
        t.insert("qq号码", column(C::QQ, 1));
        t.insert("出生日期", column(C::Birthday, 1));
        t.insert("家庭住址", column(C::Address, 2));
        t.insert("附注", column(C::Note, 1));
        t.insert("邮箱", role(HeaderRole::Extra, "邮箱"));
        t.insert("电子邮件", role(HeaderRole::Extra, "邮箱"));
        // Google Contacts and Outlook.
        t.insert("name", column(C::Name, 3));
        t.insert("full name", column(C::Name, 3));
        t.insert("display name", column(C::Name, 4));
        t.insert("given name", role(HeaderRole::NameGiven));
        t.insert("first name", role(HeaderRole::NameGiven));
        t.insert("additional name", role(HeaderRole::NameMiddle));
        t.insert("middle name", role(HeaderRole::NameMiddle));
        t.insert("family name", role(HeaderRole::NameFamily));
        t.insert("last name", role(HeaderRole::NameFamily));
        t.insert("birthday", column(C::Birthday, 2));
        t.insert("notes", column(C::Note, 2));
        t.insert("group membership", listed(role(HeaderRole::Groups)));
        t.insert("labels", listed(role(HeaderRole::Groups)));
        t.insert("categories", role(HeaderRole::Groups));
        t.insert("primary phone", column(C::Phone, 10, "电话"));
        t.insert("mobile phone", column(C::Phone, 11, "手机"));
        t.insert("home phone", column(C::Phone, 12, "住宅电话"));
        t.insert("business phone", column(C::Phone, 13, "工作电话"));
        t.insert("home phone 2", column(C::Phone, 14, "住宅电话"));
        t.insert("business phone 2", column(C::Phone, 15, "工作电话"));
        t.insert("other phone", column(C::Phone, 16, "其他电话"));
        t.insert("company main phone", column(C::Phone, 17, "公司电话"));
        t.insert("car phone", column(C::Phone, 18, "车载电话"));
        t.insert("pager", column(C::Phone, 19, "寻呼机"));
        t.insert("home fax", role(HeaderRole::Extra, "住宅传真"));
        t.insert("business fax", role(HeaderRole::Extra, "工作传真"));
        t.insert("other fax", role(HeaderRole::Extra, "传真"));
        t.insert("e-mail address", role(HeaderRole::Extra, "邮箱"));
        t.insert("e-mail 2 address", role(HeaderRole::Extra, "邮箱"));
        t.insert("e-mail 3 address", role(HeaderRole::Extra, "邮箱"));
        t.insert("nickname", role(HeaderRole::Extra, "昵称"));
        t.insert("company", role(HeaderRole::Extra, "单位"));
        t.insert("organization 1 - name", role(HeaderRole::Extra, "单位"));
        t.insert("organization name", role(HeaderRole::Extra, "单位"));
        t.insert("job title", role(HeaderRole::Extra, "职务"));
        t.insert("organization 1 - title", role(HeaderRole::Extra, "职务"));
        t.insert("organization title", role(HeaderRole::Extra, "职务"));
        t.insert("web page", role(HeaderRole::Extra, "网页"));
        // Outlook writes these for every contact; only another value says something.
        t.insert("priority", ignoredUnless("Normal", "Priority"));
        t.insert("sensitivity", ignoredUnless("Normal", "Sensitivity"));
        t.insert("private", ignoredUnless("False", "Private"));
        t.insert("gender", ignoredUnless("Unspecified", "Gender"));
        t.insert("initials", role(HeaderRole::Ignored));
        t.insert("e-mail type", role(HeaderRole::Ignored));
        t.insert("e-mail 2 type", role(HeaderRole::Ignored));
        t.insert("e-mail 3 type", role(HeaderRole::Ignored));
        t.insert("e-mail display name", role(HeaderRole::Ignored));
        t.insert("e-mail 2 display name", role(HeaderRole::Ignored));
        t.insert("e-mail 3 display name", role(HeaderRole::Ignored));
        // Outlook's addresses: home first, then business, then other.
        const char* places[] = {"home", "business", "other"};
        for (int a = 0; a < 3; ++a) {
            const QString p = QString::fromLatin1(places[a]);
            t.insert(p + " street", addressPart(a, AddressPart::Street));
            t.insert(p + " street 2", addressPart(a, AddressPart::Street));
            t.insert(p + " street 3", addressPart(a, AddressPart::Street));
            t.insert(p + " city", addressPart(a, AddressPart::Locality));
            t.insert(p + " state", addressPart(a, AddressPart::Region));
            t.insert(p + " postal code", addressPart(a, AddressPart::PostalCode));
            t.insert(p + " country/region", addressPart(a, AddressPart::Country));
            t.insert(p + " country", addressPart(a, AddressPart::Country));
            t.insert(p + " po box", addressPart(a, AddressPart::Street));
        }
        return t;
    }();
    return table;
}

// Google's numbered columns: "Phone 2 - Value", "Address 1 - City", ...
HeaderMeaning numberedHeader(const QString& key)
{
    static const QRegularExpression numbered(
        QStringLiteral("^(phone|e-mail|address|website|im|relation|event|custom field) (\\d{1,3}) - (.+)$"));
    const QRegularExpressionMatch m = numbered.match(key);
    if (!m.hasMatch())
        return HeaderMeaning();
    const QString kind = m.captured(1), what = m.captured(3);
    const int n = m.captured(2).toInt();
    if (what == QLatin1String("type") || what == QLatin1String("label"))
        return role(HeaderRole::Ignored);  // says what kind of phone or address the value is
    if (kind == QLatin1String("phone") && what == QLatin1String("value"))
        return listed(column(ContactText::Phone, 20 + n, "电话"));
    if (kind == QLatin1String("e-mail") && what == QLatin1String("value"))
        return listed(role(HeaderRole::Extra, "邮箱"));
    if (kind == QLatin1String("website") && what == QLatin1String("value"))
        return listed(role(HeaderRole::Extra, "网页"));
    if (kind == QLatin1String("address")) {
        // Addresses after Outlook's three places.
        const int address = 10 + n;
        if (what == QLatin1String("formatted"))
            return column(ContactText::Address, 20 + n, "地址");
        if (what == QLatin1String("street") || what == QLatin1String("po box")
            || what == QLatin1String("extended address"))
            return addressPart(address, AddressPart::Street);
        if (what == QLatin1String("city"))
            return addressPart(address, AddressPart::Locality);
        if (what == QLatin1String("region"))
            return addressPart(address, AddressPart::Region);
        if (what == QLatin1String("postal code"))
            return addressPart(address, AddressPart::PostalCode);
        if (what == QLatin1String("country"))
            return addressPart(address, AddressPart::Country);
    }
    return HeaderMeaning();
}

}  // namespace

HeaderMeaning headerMeaning(const QString& header)
{
    const QString key = header.simplified().toLower();
    const auto found = fixedHeaders().constFind(key);
    if (found != fixedHeaders().constEnd())
        return *found;
    HeaderMeaning m = numberedHeader(key);
    if (m.role == HeaderRole::Unknown)
        m.label = header.simplified();
    return m;
}
