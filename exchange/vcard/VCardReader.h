#pragma once
// vCard files from phones and address books (versions 2.1, 3.0 and 4.0) read
// into drafts: what each card says, unfitted; the cards that cannot be read
// are failures with the line they start on.

#include "exchange/ContactDraft.h"

#include <QByteArray>

class QIODevice;

// Throws ExchangeError when the bytes hold text but no card at all.
DraftSet readVCards(const QByteArray& bytes);
// The same from the device, read once in pieces: each card and failure is
// handed to the sink as soon as it is read.
void readVCards(QIODevice& device, DraftSink& sink);
