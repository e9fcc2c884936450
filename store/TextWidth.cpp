#include "TextWidth.h"

int CodePointCount(const QString& text)
{
    int count = 0;
    for (const QChar c : text) {
        if (!c.isLowSurrogate())
            ++count;
    }
    return count;
}

QString PadToWidth(const QString& text, int width)
{
    const int missing = width - CodePointCount(text);
    if (missing <= 0)
        return text;
    return text + QString(missing, QLatin1Char(' '));
}
