#include "ContactColumns.h"

QString RecordCountText(int count)
{
    return QStringLiteral("总人数") + QString::number(count);
}

QString PositionText(int recNo)
{
    return QStringLiteral("当前位置") + QString::number(recNo);
}
