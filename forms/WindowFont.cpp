#include "WindowFont.h"

QFont WindowFont()
{
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(16);
    return f;
}
