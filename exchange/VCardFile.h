#pragma once
// vCard files for the format tables: the codec works on bytes and devices,
// these read and write whole files.

#include "exchange/ContactDraft.h"

DraftSet ReadVCardFile(const QString& path);
// The file read once in pieces, each card handed to the sink as it is read.
// A vCard file has no notes about the whole file: the list is empty.
QStringList StreamVCardFile(const QString& path, DraftSink& sink);
void WriteVCardFile(const QString& path, const QList<StoredContact>& contacts);
