#pragma once
// The picture kinds the window framework knows by file extension, in the order
// they were registered, and the open-picture dialog's filter built from them.

#include "photo/Graphics.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

enum class PictureKind { Bitmap, Icon, Metafile, Jpeg };

struct PictureFileFormat {
    QString extension;  // lower case, without the dot
    QString description;
    PictureKind kind;
};

// The registered formats, first registered first.
const QList<PictureFileFormat>& PictureFileFormats();

// The entry for an extension (without its dot), case ignored; the last
// registered entry wins. nullptr when none matches.
const PictureFileFormat* FindPictureFileFormat(const QString& extension);
const PictureFileFormat* FindPictureFileFormat(const QList<PictureFileFormat>& formats, const QString& extension);

// A new, empty picture of a kind.
std::unique_ptr<TGraphic> NewPicture(PictureKind kind);

// "全部 (*.jpg;...)|*.jpg;...|JPEG Image File (*.jpg)|*.jpg|...": the Windows-style
// filter text, walking the formats from the last to the first.
QString BuildPictureFilter(const QList<PictureFileFormat>& formats);
// The filter of the open-picture dialog, built from the registered formats.
QString PictureDialogFilter();

// One choice of the dialog: the text shown and the patterns it matches.
struct PictureDialogChoice {
    QString shownText;
    QStringList patterns;  // "*.jpg", ...
};
// The choices a Windows-style filter offers, in order.
QList<PictureDialogChoice> PictureDialogChoices(const QString& filter);
