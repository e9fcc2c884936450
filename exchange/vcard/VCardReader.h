#pragma once
// vCard files from phones and address books (versions 2.1, 3.0 and 4.0) read
// into drafts: what each card says, unfitted; the cards that cannot be read
// are failures with the line they start on.

#include "exchange/ContactDraft.h"

#include <QByteArray>

// Throws ExchangeError when the bytes hold text but no card at all.
DraftSet readVCards(const QByteArray& bytes);
