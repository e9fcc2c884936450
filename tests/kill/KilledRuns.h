#pragma once
// The killed_book program run by the kill tests: killed at a chosen moment or
// run to its end, and its book read with the sqlcipher shell.

#include "tests/support/TestFolder.h"

#include <QString>
#include <QStringList>

// The book's key, as another tool would be given it.
inline constexpr const char* Key = "tavmeri";

// One run of the killed_book program, killed once it has reported `lines`
// finished commands and then worked on for `extraMs` more.
struct KilledRun {
    QStringList lines;
    bool killed = false;
    QString output;
};

KilledRun runAndKill(const QStringList& args, int lines, int extraMs);

// The program run to its end; its exit code.
int runToEnd(const QStringList& args);

// Runs statements on the book with the sqlcipher shell; its output lines.
QStringList sqlcipher(const TestFolder& folder, const QString& sql);

QString integrity(const TestFolder& folder);

// How many lines to wait for and how long after them to kill: below bound,
// from a fixed seed the test prints.
int randomBelow(int bound);

// The texts after a prefix, of the lines that carry it.
QStringList reported(const QStringList& lines, const QString& prefix);
