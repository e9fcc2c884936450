#pragma once
// One card's properties as a draft: the seven texts, the photo, everything
// else as labelled extras, and what could not be kept.

#include "exchange/ContactDraft.h"
#include "exchange/vcard/VCardProperty.h"

#include <QList>

ContactDraft draftOfCard(int line, const QList<VCardProperty>& properties);
