#pragma once
// The book's contacts as a vCard 3.0 file, the version phones and desktop
// address books read best: UTF-8, CRLF line ends, lines folded at 75 octets.

#include "exchange/ContactDraft.h"

#include <QIODevice>
#include <QList>

// Writes one card per contact, in the order given. Throws ExchangeError when
// the device refuses the bytes.
void writeVCards(QIODevice& out, const QList<StoredContact>& contacts);
