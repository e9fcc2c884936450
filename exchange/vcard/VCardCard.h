#pragma once
// One card's properties as a draft: the seven texts, the photo, everything
// else as labelled extras, and what could not be kept.

#include "exchange/ContactDraft.h"
#include "exchange/vcard/VCardProperty.h"

#include <QList>

ContactDraft draftOfCard(int line, const QList<VCardProperty>& properties);

// A property of this name, with no parameters, becomes an extra labelled with
// the name itself: no column, no part of the card's frame, no special reading.
// So an extra under such a label may go out as that property and come back the same.
bool isKeptUnderItsOwnName(const QByteArray& name);
