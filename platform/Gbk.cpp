#include "Gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

QByteArray toGbk(const QString& text)
{
    QStringEncoder encoder("GB18030");
    QByteArray bytes = encoder.encode(text);
    return bytes;
}

QString fromGbk(const QByteArray& bytes)
{
    QStringDecoder decoder("GB18030");
    QString text = decoder.decode(bytes);
    return text;
}
