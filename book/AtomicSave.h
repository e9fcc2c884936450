#pragma once
// A file written whole or not at all: the writer fills a new file beside the
// target, which then takes the target's name in one step. A failure leaves
// the target as it was (absent, or the old file) and no stray file behind.

#include <QString>
#include <functional>

// Calls write with the temporary file's path, then renames it over target.
// Whatever write raises passes on; a failed rename raises ExchangeError.
void SaveAtomically(const QString& target, const std::function<void(const QString& temporaryPath)>& write);
