#include "WindowIcon.h"

#include <QGuiApplication>
#include <QIcon>

// The pictures are compiled into this static library: their initialiser must be
// called, or the linker leaves them out.
static void InitIconResource()
{
    Q_INIT_RESOURCE(icons);
}

void UseTessalyIcon()
{
    InitIconResource();
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/tessaly.png").arg(size));
    QGuiApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("tessaly"));
}
