#pragma once
// The picture the photo box shows at start-up: a colour baseline JPEG of
// 188 x 250 pixels, kept as compressed bytes so it is stored byte for byte.

#include "photo/Graphics.h"

#include <QByteArray>
#include <memory>

// The JPEG file's bytes, exactly as built into the program.
QByteArray PlaceholderBytes();

// A new JPEG picture holding those bytes.
std::unique_ptr<TJPEGImage> PlaceholderPicture();
