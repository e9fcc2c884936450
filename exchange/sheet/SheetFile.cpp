#include "SheetFile.h"

#include <QDir>

QString cannotReadMessage(const QString& path, const QString& why)
{
    return QStringLiteral("无法读取文件 %1：%2").arg(QDir::toNativeSeparators(path), why);
}
