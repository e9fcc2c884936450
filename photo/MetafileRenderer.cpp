#include "MetafileRenderer.h"

#include "photo/MetafileCanvas.h"
#include "photo/MetafileHeader.h"
#include "photo/MetafilePlayers.h"

#include <QPainter>

void PlayMetafile(QPainter& painter, const QRectF& target, const QByteArray& data)
{
    const std::optional<MetafileHeader> header = TryReadMetafileHeader(data);
    if (!header || target.isEmpty())
        return;
    // A standard WMF that sets up no window draws at one unit per pixel.
    const QRectF frame = header->frame.isEmpty() && !header->enhanced && !header->placeable
                             ? QRectF(QPointF(0, 0), target.size())
                             : header->frame;
    MetafileCanvas canvas(painter, target, frame, !header->enhanced);
    if (header->enhanced)
        PlayEmfRecords(canvas, data, header->recordsOffset);
    else
        PlayWmfRecords(canvas, data, header->recordsOffset);
}
