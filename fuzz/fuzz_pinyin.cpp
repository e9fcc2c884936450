// Reading and searching names of any text: never crashes, and a name is always
// found by its own pinyin as spelled for people.
// Input: the typed text, a line feed, then the name (both UTF-8).

#include "exchange/ChineseName.h"
#include "exchange/pinyin/ContactSearch.h"
#include "exchange/pinyin/NameReading.h"
#include "platform/TextRules.h"

#include <QString>
#include <array>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype split = bytes.indexOf('\n');
    const QString typed = QString::fromUtf8(split < 0 ? bytes : bytes.left(split));
    const QString name = QString::fromUtf8(split < 0 ? QByteArray() : bytes.mid(split + 1));

    std::array<QString, ContactTextCount> texts;
    texts[size_t(ContactText::Name)] = name;
    if (!typed.isEmpty())
        ContactSearch(typed).matches(texts);
    phoneticOf(name, true);
    phoneticOf(name, false);

    // Without the ü, the shown pinyin of a name made of Han characters types it.
    // (A Latin ü written in a name has no reading: it breaks the run, so the
    // property holds for Han characters only.)
    bool hanOnly = !name.isEmpty();
    for (const char32_t c : name.toUcs4())
        hanOnly = hanOnly && IsHan(c);
    QString spelled = spellName(name);
    spelled.replace(QChar(0x00FC), QLatin1Char('v'));
    bool typeable = hanOnly && !spelled.isEmpty();
    for (const QChar c : spelled)
        typeable = typeable && ((c >= u'a' && c <= u'z') || c == u' ');
    if (typeable && !ContactSearch(spelled).matches(texts))
        std::abort();
    return 0;
}
