#pragma once
// A CSV file's bytes as text: UTF-8 with or without a byte order mark, UTF-16
// with its byte order mark, else GB18030 (Excel on Chinese Windows saves CSV
// in the ANSI code page, GBK).

#include <QByteArray>
#include <QString>

QString decodeCsvText(const QByteArray& bytes);
