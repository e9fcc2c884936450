// TMetafile: a Windows or enhanced metafile kept whole and drawn by our own player.

#include "photo/Graphics.h"
#include "photo/MetafileHeader.h"
#include "photo/MetafileRenderer.h"

bool TMetafile::Empty() const
{
    return Data.isEmpty();
}

int TMetafile::Width() const
{
    return MMWidth;
}

int TMetafile::Height() const
{
    return MMHeight;
}

void TMetafile::Draw(QPainter& painter, const QRect& rect) const
{
    if (!Data.isEmpty())
        PlayMetafile(painter, rect, Data);
}

void TMetafile::LoadFromBytes(const QByteArray& bytes)
{
    const MetafileHeader header = ReadMetafileHeader(bytes);
    Data = bytes;
    Enhanced = header.enhanced;
    MMWidth = header.pixels.width();
    MMHeight = header.pixels.height();
}
