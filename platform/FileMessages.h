#pragma once
// The words for a file that cannot be read or written, each with the path shown
// as the system shows it: "无法读取文件 PATH：WHY", "无法写入文件 PATH：WHY", and
// "无法写入文件 PATH" where the reason is not known.

#include <QString>

QString cannotReadMessage(const QString& path, const QString& why);
QString cannotWriteMessage(const QString& path, const QString& why);
QString cannotWriteMessage(const QString& path);
