#pragma once
// Code page 936 where bytes matter (stored password, export, byte comparisons).
// GB18030 underneath: byte-identical to GBK for every GBK character, and it
// still holds the characters GBK cannot, so nothing is lost.

#include <QByteArray>
#include <QString>

QByteArray toGbk(const QString& text);
QString fromGbk(const QByteArray& bytes);
