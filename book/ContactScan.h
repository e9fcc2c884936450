#pragma once
// The contact table read once, row by row in table order, for a command that
// looks at every contact and keeps few (find): the seven texts as the file
// holds them, UTF-8, trimmed as list shows them, never all in memory at once.

#include "exchange/ContactDraft.h"

#include <QByteArrayView>
#include <QString>
#include <array>
#include <functional>

struct ScannedContact {
    std::array<QByteArrayView, ContactTextCount> texts;  // valid during the visit only
    std::array<bool, ContactTextCount> isNull{};
};

struct BookRun;

// Opens the run's existing book behind its login password and visits every
// contact. Raises EDatabaseError and what UnlockBook raises.
void ScanContacts(BookRun& run, const std::function<void(const ScannedContact&)>& visit);
