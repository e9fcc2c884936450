#include "VCardLabels.h"

#include "exchange/ContactLabels.h"
#include "exchange/vcard/VCardProperty.h"

#include <QHash>
#include <QList>
#include <algorithm>

namespace {

struct PhoneKind {
    const char16_t* label;
    QByteArray types;  // every one must be there
};

// The most particular first: a fax at work is a 工作传真 before it is a 传真.
const QList<PhoneKind>& phoneKinds()
{
    static const QList<PhoneKind> kinds = {
        {u"工作传真", "WORK,FAX"}, {u"住宅传真", "HOME,FAX"}, {u"传真", "FAX"},      {u"寻呼机", "PAGER"},
        {u"手机", "CELL"},         {u"工作电话", "WORK"},     {u"住宅电话", "HOME"},
    };
    return kinds;
}

}  // namespace

QString phoneLabelOfTypes(const VCardProperty& tel)
{
    for (const PhoneKind& kind : phoneKinds()) {
        bool all = true;
        QByteArrayView rest(kind.types);
        while (all && !rest.isEmpty()) {
            const qsizetype comma = rest.indexOf(',');
            all = tel.hasType(comma < 0 ? rest : rest.first(comma));
            rest = comma < 0 ? QByteArrayView() : rest.sliced(comma + 1);
        }
        if (all)
            return QString::fromUtf16(kind.label);
    }
    return u"电话"_qs;
}

QString phoneLabelOfAppleLabel(const QString& word)
{
    static const QHash<QString, QString> labels = {
        {u"mobile"_qs, u"手机"_qs},   {u"iphone"_qs, u"手机"_qs},      {u"work"_qs, u"工作电话"_qs},
        {u"home"_qs, u"住宅电话"_qs}, {u"workfax"_qs, u"工作传真"_qs}, {u"homefax"_qs, u"住宅传真"_qs},
        {u"otherfax"_qs, u"传真"_qs}, {u"pager"_qs, u"寻呼机"_qs},
    };
    return labels.value(word, u"电话"_qs);
}

QByteArray phoneTypesOfLabel(const QString& label)
{
    const QString base = LabelBase(label);
    for (const PhoneKind& kind : phoneKinds()) {
        if (base == QStringView(kind.label))
            return kind.types;
    }
    // The spreadsheets' own words for the same kinds: 商务电话, 家庭电话, 办公电话, 车载电话, ...
    const auto says = [&base](std::initializer_list<const char16_t*> words) {
        return std::any_of(words.begin(), words.end(), [&base](const char16_t* w) { return base.contains(w); });
    };
    const bool work = says({u"工作", u"商务", u"办公", u"公司", u"单位"});
    const bool home = says({u"住宅", u"家"});
    if (says({u"寻呼"}))
        return "PAGER";
    if (says({u"传真"}))
        return work ? "WORK,FAX" : home ? "HOME,FAX" : "FAX";
    if (says({u"手机", u"移动"}))
        return "CELL";
    if (says({u"车载"}))
        return "CAR";
    return work ? "WORK" : home ? "HOME" : "VOICE";
}

bool isLabelOfItsTypes(const QString& label)
{
    if (label == u"电话"_qs)
        return true;
    for (const PhoneKind& kind : phoneKinds()) {
        if (label == QStringView(kind.label))
            return true;
    }
    return false;
}
