#include "ClipboardLines.h"

QStringList SplitClipboardLines(const QString& text)
{
    QStringList lines;
    const qsizetype end = [&] {
        const qsizetype nul = text.indexOf(QChar(u'\0'));
        return nul < 0 ? text.size() : nul;
    }();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < end) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') {
            ++i;
            continue;
        }
        lines.append(text.mid(start, i - start));
        ++i;
        if (c == u'\r' && i < end && text[i] == u'\n')
            ++i;
        start = i;
    }
    if (start < end)
        lines.append(text.mid(start, end - start));
    return lines;
}
