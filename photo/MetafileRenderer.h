#pragma once
// Our own small metafile player: draws what it knows of a WMF or EMF
// (lines, shapes, pens and brushes, mapping, embedded bitmaps) and skips the rest.

#include <QByteArray>
#include <QRectF>

class QPainter;

// Draws the metafile stretched onto target. Never throws: an unreadable
// header draws nothing, a damaged record ends the drawing there.
void PlayMetafile(QPainter& painter, const QRectF& target, const QByteArray& data);
