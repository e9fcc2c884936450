#include "ContactBirthdays.h"

#include "exchange/ContactLabels.h"
#include "exchange/ContactValues.h"
#include "exchange/birthday/ChineseAltBirthday.h"

#include <algorithm>

QList<ContactBirthday> BirthdaysOf(const std::array<QString, ContactTextCount>& texts, const QList<DraftExtra>& kept)
{
    QList<ContactBirthday> birthdays;
    const QString& typed = texts[size_t(ContactText::Birthday)];
    if (const std::optional<Birthday> b = ReadBirthday(typed))
        birthdays.append({*b, typed});
    // Most notes say nothing of it: the labelled values are lifted only when one may be there.
    if (kept.isEmpty() && !texts[size_t(ContactText::Note)].contains(LunarBirthdayLabel))
        return birthdays;
    const ContactValues values = LiftValues(StoredContact{texts, QByteArray(), kept});
    for (const DraftExtra& value : values.values) {
        if (LabelBaseView(value.label) != LunarBirthdayLabel)
            continue;
        const std::optional<Birthday> lunar = ReadBirthday(value.value);
        const bool said = std::any_of(birthdays.cbegin(), birthdays.cend(),
                                      [&lunar](const ContactBirthday& b) { return b.birthday == *lunar; });
        if (lunar && lunar->isLunar() && !said)
            birthdays.append({*lunar, value.value.trimmed()});
    }
    return birthdays;
}
