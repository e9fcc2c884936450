#include "ShownText.h"

#include <algorithm>

QString shownText(const QString& text, int maxCharacters)
{
    QString shown;
    shown.reserve(std::min<qsizetype>(text.size(), maxCharacters + 1));
    int characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool control =
            c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F) || c.category() == QChar::Other_Format
            || c.isSpace() || c.isNonCharacter()
            || (c.isSurrogate() && !(c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()));
        if (control) {
            if (!shown.isEmpty() && !shown.endsWith(u' '))
                shown += u' ';
            continue;
        }
        if (characters == maxCharacters) {
            shown += u'…';
            return shown;
        }
        shown += c;
        if (c.isHighSurrogate())
            shown += text[++i];
        ++characters;
    }
    return shown.trimmed();
}
