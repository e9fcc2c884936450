#pragma once
// The record loops of the two metafile formats, drawing onto a prepared canvas.

#include <QByteArray>

class MetafileCanvas;

// From the first record after the header to META_EOF, the end of the data, or a damaged record.
void PlayWmfRecords(MetafileCanvas& canvas, const QByteArray& data, qsizetype firstRecord);
// From the record after EMR_HEADER to EMR_EOF, the end of the data, or a damaged record.
void PlayEmfRecords(MetafileCanvas& canvas, const QByteArray& data, qsizetype firstRecord);
