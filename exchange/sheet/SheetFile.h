#pragma once
// The spreadsheet readers' words for a file they cannot read, in the form the
// other formats use: "无法读取文件 PATH：WHY".

#include <QString>

QString cannotReadMessage(const QString& path, const QString& why);
