#pragma once
// Work that may crash or hang on hostile input, run in a child process of its
// own: nothing of the child's memory reaches the caller but the bytes it
// answers, and a child that never answers is killed.

#include <QByteArray>
#include <QString>
#include <functional>

struct IsolatedRun {
    bool started = false;        // false: no child could be made (startError says why)
    QString startError;          // the system's words, in the locale's encoding
    bool answered = false;       // the child closed its answer before the time ran out
    bool exitedCleanly = false;  // and it ended normally with status 0
    QByteArray answer;           // what it wrote, whole only when answered
};

// Runs work in the child and hands back what it returned. An exception that
// leaves work ends the child with status 2; the child never runs the parent's
// exit handlers or static destructors.
IsolatedRun RunIsolated(const std::function<QByteArray()>& work, int timeoutMs);
