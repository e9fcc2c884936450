#include "ContactLabels.h"

namespace {

constexpr char16_t openBracket = u'（';
constexpr char16_t closeBracket = u'）';

}  // namespace

QString LabelBase(const QString& label)
{
    const qsizetype open = label.indexOf(openBracket);
    return open > 0 && label.endsWith(closeBracket) ? label.left(open) : label;
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

bool isPhoneLabel(const QString& label)
{
    const QString base = LabelBase(label);
    return base.endsWith(u"电话"_qs) || base == u"手机"_qs || base.endsWith(u"传真"_qs) || base == u"寻呼机"_qs;
}

bool isMailLabel(const QString& label)
{
    return LabelBase(label) == u"邮箱"_qs;
}
