#pragma once
// Moving a photo between the photo box and a record's image column, as the
// bytes of one JPEG file.

#include <QString>

class TADOQuery;
class TImage;

// Stores the box's picture into the column of the query's current record, as
// JPEG: JPEG data byte for byte, a bitmap compressed (quality 90, baseline).
// An empty box answers false and leaves the query alone. An icon or metafile
// raises EConvertError before the record is touched; engine and JPEG errors
// pass out too.
bool SavePhotoToField(TImage* image, const QString& column, TADOQuery& query);

// Shows the photo of the query's current record: null empties the box, stored
// bytes become a JPEG picture. Catches every failure and answers false; the box
// is then left empty, so it never shows (or stores again) another record's photo.
bool LoadPhotoFromField(TImage* image, const QString& column, TADOQuery& query);

// Raises the EConvertError that SavePhotoToField would raise for the box's
// picture (an icon or a metafile), so a command can refuse before it stores anything.
void CheckPhotoStorable(const TImage* image);
