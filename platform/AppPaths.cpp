#include "AppPaths.h"

#include <QCoreApplication>

namespace {
QString g_override;
}

QString ExecutablePath()
{
    if (!g_override.isEmpty())
        return g_override;
    return QCoreApplication::applicationFilePath();
}

void OverrideExecutablePathForTests(const QString& path)
{
    g_override = path;
}

QString DatabasePathFor(const QString& executablePath)
{
    return executablePath.left(executablePath.lastIndexOf(u'/') + 1) + QStringLiteral("Kalvo.mdb");
}
