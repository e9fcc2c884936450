#include "AppPaths.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
QString g_override;
}

QString ExecutablePath()
{
    if (!g_override.isEmpty())
        return g_override;
    // The book's head start asks before the application object exists.
    if (!QCoreApplication::instance())
        return ExecutablePathFromSystem();
    return QCoreApplication::applicationFilePath();
}

QString ExecutablePathFromSystem()
{
    // Where the application object looks on Linux, resolved the same way.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

void OverrideExecutablePathForTests(const QString& path)
{
    g_override = path;
}

QString DatabasePathFor(const QString& executablePath)
{
    return executablePath.left(executablePath.lastIndexOf(u'/') + 1) + QStringLiteral("Kalvo.mdb");
}
