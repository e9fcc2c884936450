#pragma once
// Runs a reader built on a library that is not safe on hostile input in a
// child process, and hands its rows back through a pipe. A child that crashes,
// hangs or is killed gives an ExchangeError naming the file; an ExchangeError
// in the child comes back with its message. Nothing of the child's memory
// reaches the caller but the rows.

#include "exchange/sheet/SheetRows.h"

#include <QString>
#include <functional>

SheetRows runIsolated(const QString& fileName, const std::function<SheetRows()>& read);
