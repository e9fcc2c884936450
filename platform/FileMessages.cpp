#include "FileMessages.h"

#include <QDir>

QString cannotReadMessage(const QString& path, const QString& why)
{
    return QStringLiteral("无法读取文件 %1：%2").arg(QDir::toNativeSeparators(path), why);
}

QString cannotWriteMessage(const QString& path)
{
    return QStringLiteral("无法写入文件 %1").arg(QDir::toNativeSeparators(path));
}

QString cannotWriteMessage(const QString& path, const QString& why)
{
    return cannotWriteMessage(path) + QStringLiteral("：") + why;
}
