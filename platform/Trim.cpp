#include "Trim.h"

#include "platform/TextRules.h"

namespace {
template <class S, class IsLow>
S trimEnds(const S& s, IsLow isLow)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isLow(s[begin]))
        ++begin;
    while (end > begin && isLow(s[end - 1]))
        --end;
    return s.mid(begin, end - begin);
}
}  // namespace

QString TrimControl(const QString& text)
{
    return trimEnds(text, [](QChar c) { return IsPadding(c.unicode()); });
}

QByteArray TrimControlBytes(const QByteArray& bytes)
{
    return trimEnds(bytes, [](char c) { return IsPadding(static_cast<unsigned char>(c)); });
}
