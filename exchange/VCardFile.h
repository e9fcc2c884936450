#pragma once
// vCard files for the format tables: the codec works on bytes and devices,
// these read and write whole files.

#include "exchange/ContactDraft.h"

DraftSet ReadVCardFile(const QString& path);
void WriteVCardFile(const QString& path, const QList<StoredContact>& contacts);
