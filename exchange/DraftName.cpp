#include "DraftName.h"

#include "exchange/ContactLabels.h"
#include "platform/TextRules.h"

namespace {

QString firstValue(const ContactDraft& draft, QStringView base)
{
    for (const DraftExtra& extra : draft.extras) {
        if (LabelBaseView(extra.label) == base && !isAnotherPersonsValue(extra.label) && !IsAllWhiteSpace(extra.value))
            return extra.value.trimmed();
    }
    return QString();
}

}  // namespace

void NameFromWhatItHas(ContactDraft& draft)
{
    QString& name = draft.text(ContactText::Name);
    if (!IsAllWhiteSpace(name))
        return;
    const std::pair<QStringView, QString> sources[] = {
        {AccountLabel, firstValue(draft, AccountLabel)},
        {u"单位", firstValue(draft, u"单位")},
        {u"昵称", firstValue(draft, u"昵称")},
        {u"邮箱", firstValue(draft, u"邮箱")},
        {u"电话", draft.text(ContactText::Phone).trimmed()},
    };
    for (const auto& [label, value] : sources) {
        if (!value.isEmpty()) {
            name = value;
            draft.said << QStringLiteral("姓名：没有姓名，取自%1").arg(label);
            return;
        }
    }
}
