// 生日 texts of any kind: reading never crashes, a birthday read is written
// back as a text that reads as the same birthday, and it falls on a day in
// every year of the lunar table; a lunar one written as Apple's lunar date
// reads back the same. The same bytes read as Apple's lunar date.
// Input: the text, UTF-8.

#include "exchange/birthday/BirthdayDates.h"
#include "exchange/birthday/ChineseAltBirthday.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text =
        QString::fromUtf8(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (const std::optional<Birthday> b = ReadBirthday(text)) {
        if (ReadBirthday(BirthdayText(*b)) != b)
            std::abort();
        if (b->isLunar() && BirthdayFromChineseAltDate(QString::fromLatin1(ChineseAltDateOf(*b))) != b)
            std::abort();
        const QDate from(2026, 12, 8);
        const std::optional<BirthdayOccurrence> next = NextOccurrence(*b, from);
        if (!next || next->date < from || from.daysTo(next->date) > 385)
            std::abort();
        BirthZodiac(*b);
        BirthStarSign(*b);
    }
    if (const std::optional<Birthday> b = BirthdayFromChineseAltDate(text))
        if (BirthdayFromChineseAltDate(QString::fromLatin1(ChineseAltDateOf(*b))) != b)
            std::abort();
    return 0;
}
