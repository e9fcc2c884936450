#include "VCardLabels.h"

#include "exchange/ContactLabels.h"
#include "exchange/vcard/VCardProperty.h"

#include <QList>

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

QByteArray phoneTypesOfLabel(const QString& label)
{
    const QString base = LabelBase(label);
    for (const PhoneKind& kind : phoneKinds()) {
        if (base == QStringView(kind.label))
            return kind.types;
    }
    return "VOICE";
}
