#pragma once
// Contacts as CSV for Excel, LibreOffice and everything else: UTF-8 with a
// byte order mark (so Excel on Windows reads the Chinese right), CRLF, the
// header 类别,姓名,生日,电话,QQ,地址,备注 and the columns of ExportTable.h, and
// fields quoted as RFC 4180 asks (a comma, a quote, a line break, or blanks at
// either end).

#include "exchange/ContactDraft.h"

#include <QByteArray>
#include <QList>
#include <QString>

QByteArray csvBytes(const QList<StoredContact>& contacts);
// Writes the file anew (the caller makes it atomic); ExchangeError when it cannot.
void writeCsvFile(const QString& path, const QList<StoredContact>& contacts);
