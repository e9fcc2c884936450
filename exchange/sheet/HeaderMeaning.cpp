#include "HeaderMeaning.h"

#include "exchange/DraftName.h"
#include "platform/TextRules.h"
#include "store/ContactSchema.h"

#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <utility>

namespace {

using C = ContactText;

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

// An extra kept under its own header ("定制 1", "优先级").
HeaderMeaning ownExtra()
{
    return role(HeaderRole::Extra);
}

HeaderMeaning addressPart(int address, AddressPart part)
{
    HeaderMeaning m;
    m.role = HeaderRole::AddressPart;
    m.rank = address;
    m.part = part;
    m.label = QStringLiteral("地址");
    return m;
}

HeaderMeaning birthdayPart(DatePart part)
{
    HeaderMeaning m = role(HeaderRole::BirthdayPart, QStringLiteral("生日"));
    m.datePart = part;
    return m;
}

HeaderMeaning listed(HeaderMeaning m)
{
    m.list = true;
    return m;
}

HeaderMeaning givenOrWhole()
{
    HeaderMeaning m = role(HeaderRole::NameGiven, QStringLiteral("名字"));
    m.wholeNameAlone = true;
    return m;
}

}  // namespace

QString headerKey(const QString& header)
{
    const QString simple = LowerAscii(header.simplified());
    QString key;
    key.reserve(simple.size());
    for (qsizetype i = 0; i < simple.size(); ++i) {
        if (simple[i] == u' ' && (simple[i - 1].unicode() >= 0x80 || simple[i + 1].unicode() >= 0x80))
            continue;  // simplified() leaves no blank at either end
        key += simple[i];
    }
    return key;
}

namespace {

using Entry = std::pair<QString, HeaderMeaning>;

// Phones: the lowest rank fills 电话, the others go to 备注 under their label.
void addPhones(QList<Entry>& t)
{
    const auto phone = [&](const char* header, int rank, const char* label) {
        t.append({QString::fromUtf8(header), column(C::Phone, rank, QString::fromUtf8(label))});
    };
    phone("電話", 0, "电话");
    for (const char* mobile : {"手机", "手机号", "手机号码", "手機", "行動電話", "移動電話"})
        phone(mobile, 1, "手机");
    for (const char* general : {"联系电话", "电话号码", "聯絡電話", "電話號碼"})
        phone(general, 2, "电话");
    for (const char* fixed : {"办公电话", "座机", "固话", "固定电话"})
        phone(fixed, 3, fixed);
    // Outlook, English and Chinese, then Thunderbird's Chinese names.
    phone("Primary Phone", 10, "电话");
    phone("主要电话", 10, "电话");
    phone("Mobile Phone", 11, "手机");
    phone("移动电话", 11, "手机");
    phone("移动电话号码", 11, "手机");
    phone("Home Phone", 12, "住宅电话");
    phone("住宅电话", 12, "住宅电话");
    phone("家庭电话", 12, "住宅电话");
    phone("Business Phone", 13, "工作电话");
    phone("商务电话", 13, "商务电话");
    phone("工作电话", 13, "工作电话");
    phone("Home Phone 2", 14, "住宅电话");
    phone("住宅电话 2", 14, "住宅电话");
    phone("Business Phone 2", 15, "工作电话");
    phone("商务电话 2", 15, "商务电话");
    phone("Other Phone", 16, "其他电话");
    phone("其他电话", 16, "其他电话");
    phone("Company Main Phone", 17, "公司电话");
    phone("公司代表线路", 17, "公司电话");
    phone("Car Phone", 18, "车载电话");
    phone("车载电话", 18, "车载电话");
    phone("Pager", 19, "寻呼机");
    phone("寻呼机", 19, "寻呼机");
    phone("寻呼机号码", 19, "寻呼机");
}

void addExtras(QList<Entry>& t)
{
    const auto extra = [&](std::initializer_list<const char*> headers, const char* label) {
        for (const char* header : headers)
            t.append({QString::fromUtf8(header), role(HeaderRole::Extra, QString::fromUtf8(label))});
    };
    extra({"邮箱", "电子邮箱", "电子邮件", "E-mail", "Email", "邮件", "电子邮件地址", "电子邮件 2 地址",
           "电子邮件 3 地址", "主要电子邮件", "备用电子邮件", "電子郵件", "電子郵件地址", "E-mail Address",
           "E-mail 2 Address", "E-mail 3 Address", "Primary Email", "Secondary Email"},
          "邮箱");
    extra({"微信", "微信号", "WeChat"}, "微信");
    extra({"分机", "分机号", "分機"}, "分机");
    extra({"单位", "公司", "工作单位", "單位", "Company", "Organization", "Organization 1 - Name", "Organization Name"},
          "单位");
    extra({"部门", "部門", "Department", "Organization 1 - Department"}, "部门");
    extra({"职务", "职位", "職務", "職稱", "Job Title", "Organization 1 - Title", "Organization Title"}, "职务");
    extra({"昵称", "暱稱", "Nickname"}, "昵称");
    // 网址, as the vCard import names a URL: one label in every format, so a round trip adds no one.
    extra({"网页", "网址", "网页 1", "网页 2", "Web Page", "Web Page 1", "Web Page 2"}, "网址");
    extra({"屏幕名", "Screen Name"}, "屏幕名");
    extra({"商务传真", "Business Fax"}, "商务传真");
    extra({"住宅传真", "Home Fax"}, "住宅传真");
    extra({"其他传真", "传真", "传真号码", "傳真", "Other Fax", "Fax Number"}, "传真");
    // Kept under their own header; Outlook's fillers in them count as empty.
    for (const char* own : {"英文称谓",   "称谓",   "后缀",     "优先级",   "敏感度",   "私有",     "性别",
                            "周年纪念日", "定制 1", "定制 2",   "定制 3",   "定制 4",   "Priority", "Sensitivity",
                            "Private",    "Gender", "Custom 1", "Custom 2", "Custom 3", "Custom 4"})
        t.append({QString::fromUtf8(own), ownExtra()});
}

void addNamesAndOthers(QList<Entry>& t)
{
    const auto add = [&](std::initializer_list<const char*> headers, const HeaderMeaning& m) {
        for (const char* header : headers)
            t.append({QString::fromUtf8(header), m});
    };
    // User lists of Chinese web systems: 用户名 is the account, 真实姓名 the person.
    add({"真实姓名", "真實姓名"}, column(C::Name, 1));
    add({"名称"}, column(C::Name, 2));
    add({"联系人"}, column(C::Name, 2, QStringLiteral("联系人")));
    add({"用户名", "登录账号", "登录帐号", "账号", "帐号", "用户账号", "登录名"},
        role(HeaderRole::Extra, AccountLabel.toString()));
    add({"Name", "Full Name"}, column(C::Name, 3));
    add({"显示名称", "Display Name", "顯示名稱"}, column(C::Name, 4));
    add({"名字"}, givenOrWhole());
    add({"名", "First Name", "Given Name"}, role(HeaderRole::NameGiven, QStringLiteral("名")));
    add({"中间名", "Middle Name", "Additional Name"}, role(HeaderRole::NameMiddle, QStringLiteral("中间名")));
    add({"姓", "姓氏", "Last Name", "Family Name"}, role(HeaderRole::NameFamily, QStringLiteral("姓")));
    add({"住址"}, column(C::Address, 1));
    add({"家庭住址", "通讯地址", "联系地址", "通訊地址"}, column(C::Address, 2));
    add({"分类", "類別"}, column(C::Category, 1));
    add({"分组"}, column(C::Category, 2));
    add({"Group Membership", "Labels"}, listed(role(HeaderRole::Groups)));
    add({"Categories"}, role(HeaderRole::Groups));
    add({"QQ号", "QQ号码", "QQ號"}, column(C::QQ, 1));
    add({"出生日期", "出生年月"}, column(C::Birthday, 1));
    add({"Birthday"}, column(C::Birthday, 2));
    add({"出生年份", "Birth Year"}, birthdayPart(DatePart::Year));
    add({"出生月份", "Birth Month"}, birthdayPart(DatePart::Month));
    add({"出生日", "Birth Day"}, birthdayPart(DatePart::Day));
    add({"附注", "注释", "備註", "备注信息"}, column(C::Note, 1));
    add({"Notes"}, column(C::Note, 2));
    // No contact field: a row's running number, the type or shown name of an address.
    add({"序号", "序號", "Initials", "缩写", "E-mail Type", "E-mail 2 Type", "E-mail 3 Type", "E-mail Display Name",
         "E-mail 2 Display Name", "E-mail 3 Display Name", "电子邮件类型", "电子邮件 2 类型", "电子邮件 3 类型",
         "电子邮件显示名称", "电子邮件 2 显示名称", "电子邮件 3 显示名称"},
        role(HeaderRole::Ignored));
}

// Outlook's three addresses (home first, then business, then other) and
// Thunderbird's two.
void addAddresses(QList<Entry>& t)
{
    using P = AddressPart;
    const std::pair<const char*, P> english[] = {
        {"Street", P::Street},          {"Street 2", P::Street}, {"Street 3", P::Street},
        {"City", P::Locality},          {"State", P::Region},    {"Postal Code", P::PostalCode},
        {"Country/Region", P::Country}, {"Country", P::Country}, {"PO Box", P::Street},
    };
    const std::pair<const char*, P> chinese[] = {
        {"街道", P::Street},         {"街道 2", P::Street},       {"街道 3", P::Street},     {"市/县", P::Locality},
        {"省/市/自治区", P::Region}, {"邮政编码", P::PostalCode}, {"国家/地区", P::Country}, {"邮政信箱", P::Street},
    };
    const char* englishPlaces[] = {"Home", "Business", "Other"};
    // Outlook names a block "商务地址 街道" or, in some versions, "商务街道".
    const char* chinesePlaces[][2] = {{"住宅地址", "住宅"}, {"商务地址", "商务"}, {"其他地址", "其他"}};
    for (int a = 0; a < 3; ++a) {
        for (const auto& [part, meaning] : english)
            t.append({QString::fromUtf8(englishPlaces[a]) + u' ' + QString::fromUtf8(part), addressPart(a, meaning)});
        for (const char* place : chinesePlaces[a])
            for (const auto& [part, meaning] : chinese)
                t.append(
                    {QString::fromUtf8(place) + QLatin1String(qstrlen(place) > 6 ? " " : "") + QString::fromUtf8(part),
                     addressPart(a, meaning)});
    }
    const std::pair<const char*, HeaderMeaning> thunderbird[] = {
        {"家庭地址", addressPart(0, P::Street)},
        {"家庭地址 2", addressPart(0, P::Street)},
        {"工作地址", addressPart(1, P::Street)},
        {"工作地址 2", addressPart(1, P::Street)},
        {"城市", addressPart(kAddressOfTheColumnsBefore, P::Locality)},
        {"省/自治区/直辖市", addressPart(kAddressOfTheColumnsBefore, P::Region)},
        {"邮政编码", addressPart(kAddressOfTheColumnsBefore, P::PostalCode)},
        {"邮编", addressPart(kAddressOfTheColumnsBefore, P::PostalCode)},
        {"国家", addressPart(kAddressOfTheColumnsBefore, P::Country)},
        {"Home Address", addressPart(0, P::Street)},
        {"Home Address 2", addressPart(0, P::Street)},
        {"Home ZipCode", addressPart(0, P::PostalCode)},
        {"Work Address", addressPart(1, P::Street)},
        {"Work Address 2", addressPart(1, P::Street)},
        {"Work City", addressPart(1, P::Locality)},
        {"Work State", addressPart(1, P::Region)},
        {"Work ZipCode", addressPart(1, P::PostalCode)},
        {"Work Country", addressPart(1, P::Country)},
    };
    for (const auto& [header, meaning] : thunderbird)
        t.append({QString::fromUtf8(header), meaning});
}

// Every header as it is written, in the order docs/formats.md lists them.
const QList<Entry>& fixedEntries()
{
    static const QList<Entry> entries = [] {
        QList<Entry> t;
        const QStringList& ours = ContactTextColumns();
        for (int i = 0; i < ours.size(); ++i)
            t.append({ours[i], column(static_cast<C>(i), 0)});
        addNamesAndOthers(t);
        addPhones(t);
        addExtras(t);
        addAddresses(t);
        return t;
    }();
    return entries;
}

const QHash<QString, HeaderMeaning>& fixedHeaders()
{
    static const QHash<QString, HeaderMeaning> table = [] {
        QHash<QString, HeaderMeaning> t;
        for (const auto& [header, meaning] : fixedEntries())
            t.insert(headerKey(header), meaning);
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
        return listed(role(HeaderRole::Extra, "网址"));
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

bool HeaderMeaning::holdsNames() const
{
    return role == HeaderRole::NameFamily || role == HeaderRole::NameMiddle || role == HeaderRole::NameGiven
           || (role == HeaderRole::Column && column == ContactText::Name);
}

HeaderMeaning headerMeaning(const QString& header)
{
    const auto found = fixedHeaders().constFind(headerKey(header));
    HeaderMeaning m = found != fixedHeaders().constEnd() ? *found : numberedHeader(LowerAscii(header.simplified()));
    if (m.label.isEmpty())
        m.label = header.simplified();
    return m;
}

QStringList knownHeaders()
{
    QStringList headers;
    for (const auto& [header, meaning] : fixedEntries())
        headers.append(header);
    return headers;
}

bool isFillerValue(const QString& trimmed)
{
    static const QStringList fillers{
        QStringLiteral("普通"),    QStringLiteral("中"),     QStringLiteral("未指定"),
        QStringLiteral("False"),   QStringLiteral("0/0/00"), QStringLiteral("0/0/0000"),
        QStringLiteral("0:00:00"), QStringLiteral("Normal"), QStringLiteral("Unspecified")};
    return trimmed.size() <= 11 && fillers.contains(trimmed);
}
