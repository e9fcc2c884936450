#include "ContactLabels.h"

#include "exchange/PhoneNumber.h"
#include "exchange/birthday/ChineseAltBirthday.h"
#include "store/ContactSchema.h"

#include <QStringList>

namespace {

constexpr char16_t openBracket = u'（';
constexpr char16_t closeBracket = u'）';

}  // namespace

QStringView LabelBaseView(QStringView label)
{
    const qsizetype open = label.indexOf(openBracket);
    return open > 0 && label.endsWith(closeBracket) ? label.first(open) : label;
}

QString LabelBase(const QString& label)
{
    const QStringView base = LabelBaseView(label);
    return base.size() == label.size() ? label : base.toString();
}

QString LabelKind(const QString& label)
{
    const qsizetype open = label.indexOf(openBracket);
    return open > 0 && label.endsWith(closeBracket) ? label.mid(open + 1, label.size() - open - 2) : QString();
}

QString LabelWithKind(const QString& base, const QString& kind)
{
    return kind.isEmpty() ? base : base + openBracket + kind + closeBracket;
}

bool isPhoneLabel(QStringView label)
{
    const QStringView base = LabelBaseView(label);
    return base.endsWith(u"电话") || base == u"手机" || base.endsWith(u"传真") || base == u"寻呼机";
}

bool isAnotherPersonsValue(QStringView label)
{
    const qsizetype open = label.indexOf(openBracket);
    if (open <= 0 || !label.endsWith(closeBracket))
        return false;
    const QStringView kind = label.sliced(open + 1);
    return kind.startsWith(u"助理") || kind.startsWith(u"关系人");
}

QString AnotherPersonsKind(const QString& role, const QString& name)
{
    return name.isEmpty() ? role : role + u' ' + name;
}

bool isMailLabel(QStringView label)
{
    return LabelBaseView(label) == u"邮箱";
}

QString ColumnPhoneKind(const QString& label, const QString& number)
{
    if (label == u"电话")
        return QString();
    // Most numbers under 手机 are mobiles as written; only the others are cut to their first number.
    if (label == u"手机"
        && (isChineseMobileNumber(number) || isChineseMobileNumber(FitPhoneColumn(number, int(number.size())).number)))
        return QString();
    return label;
}

bool isImportLabel(const QString& label)
{
    // The book's own columns, and the labels an import keeps beside them.
    static const QStringList labels = ContactTextColumns()
                                      + QStringList{
                                          u"邮箱"_qs,
                                          u"邮编"_qs,
                                          u"国家"_qs,
                                          u"单位"_qs,
                                          u"职务"_qs,
                                          u"角色"_qs,
                                          u"网址"_qs,
                                          u"网页"_qs,
                                          u"昵称"_qs,
                                          u"即时通讯"_qs,
                                          u"纪念日"_qs,
                                          u"性别"_qs,
                                          u"关系人"_qs,
                                          u"位置"_qs,
                                          u"时区"_qs,
                                          u"语言"_qs,
                                          u"拼音"_qs,
                                          u"称谓"_qs,
                                          u"部门"_qs,
                                          u"联系人"_qs,
                                          u"助理"_qs,
                                          u"账号"_qs,
                                          u"社交账号"_qs,
                                          u"上司"_qs,
                                          u"配偶"_qs,
                                          PhoneKindLabel.toString(),
                                          AddressKindLabel.toString(),
                                      };
    const QString base = LabelBase(label);
    if (isPhoneLabel(base) || labels.contains(base) || base == LunarBirthdayLabel)
        return true;
    // A property's own name: upper-case ASCII letters, digits and dashes.
    if (base.size() < 2 || !base.front().isUpper())
        return false;
    for (const QChar c : base)
        if (!((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-'))
            return false;
    return true;
}
