#pragma once
// Loading a picture file into the photo box; the kind is chosen by the file's extension alone.

#include "photo/Graphics.h"

#include <QString>
#include <memory>

class TImage;

// The text after the last "." of a path, or empty when a "/" follows that dot or there is none.
QString PictureFileExtension(const QString& fileName);

// Reads a picture file into a new picture of the kind its extension names.
// Raises EInvalidGraphic "未知的图象文件扩展名 (.%s)", EFOpenError "不能打开文件 %s",
// or the kind's own reading error. With a byte limit, a larger file is not read
// at all and raises EReadError "读流发生错误".
std::unique_ptr<TGraphic> ReadPictureFile(const QString& fileName, qint64 byteLimit = -1);

// The box gets the file's picture; on failure it keeps the one it had and the error passes on.
void LoadPictureFromFile(TImage* box, const QString& fileName);
