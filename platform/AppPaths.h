#pragma once
// Where the program's files lie: the database sits beside the executable.

#include <QString>

// The full path of the running executable, also before the application object
// exists. Tests point it at a folder of their own.
QString ExecutablePath();
// The running executable's path as the system gives it, without the application object.
QString ExecutablePathFromSystem();
// Test seam only: the program itself never calls it.
void OverrideExecutablePathForTests(const QString& path);

// The executable's path cut after its last "/", followed directly by "Kalvo.mdb".
QString DatabasePathFor(const QString& executablePath);
