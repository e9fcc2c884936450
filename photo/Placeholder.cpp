#include "Placeholder.h"

#include <QFile>

// The resource lives in a static library: nothing would pull its registration in
// unless it is asked for by name.
static void InitPlaceholderResource()
{
    Q_INIT_RESOURCE(placeholder);
}

QByteArray PlaceholderBytes()
{
    InitPlaceholderResource();
    QFile file(QStringLiteral(":/photo/placeholder.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

std::unique_ptr<TJPEGImage> PlaceholderPicture()
{
    auto picture = std::make_unique<TJPEGImage>();
    picture->LoadFromBytes(PlaceholderBytes());
    return picture;
}
