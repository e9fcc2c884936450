#include "Trim.h"

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
    return trimEnds(text, [](QChar c) { return c.unicode() <= 32; });
}

QByteArray TrimControlBytes(const QByteArray& bytes)
{
    return trimEnds(bytes, [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

QString LowerAscii(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    return out;
}

QByteArray LowerAsciiBytes(const QByteArray& bytes)
{
    QByteArray out = bytes;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return out;
}
