#include "ContactColumns.h"

const QStringList& ContactTextColumns()
{
    static const QStringList columns{
        QStringLiteral("类别"), QStringLiteral("姓名"), QStringLiteral("生日"), QStringLiteral("电话"),
        QStringLiteral("QQ"),   QStringLiteral("地址"), QStringLiteral("备注")};
    return columns;
}

const QString& PhotoColumn()
{
    static const QString column = QStringLiteral("jpg");
    return column;
}

QString RecordCountText(int count)
{
    return QStringLiteral("总人数") + QString::number(count);
}

QString PositionText(int recNo)
{
    return QStringLiteral("当前位置") + QString::number(recNo);
}
