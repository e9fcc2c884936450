#pragma once
// Taking a picture from the clipboard into the photo box.

#include <QString>

class QMimeData;
class TImage;

// The MIME type under which the program itself would offer a picture of its own kind.
inline const QString PictureClipboardFormat = QStringLiteral("application/x-tessaly-picture");

// A bitmap on the clipboard always replaces the box's picture; a metafile only
// replaces a metafile. False when taking the clipboard's picture failed (never
// shown), true otherwise, also when there was nothing to take.
bool PastePhoto(TImage* box);

// What the clipboard offers, as the paste sees it.
bool ClipboardHasBitmap(const QMimeData& data);
bool ClipboardHasPicture(const QMimeData& data);
