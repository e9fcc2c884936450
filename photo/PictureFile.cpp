#include "PictureFile.h"

#include "photo/ImageBox.h"
#include "photo/PictureFormats.h"
#include "platform/Errors.h"

#include <QFile>

QString PictureFileExtension(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0 || fileName.indexOf(u'/', dot) >= 0)
        return QString();
    return fileName.mid(dot + 1);
}

std::unique_ptr<TGraphic> ReadPictureFile(const QString& fileName, qint64 byteLimit)
{
    const QString extension = PictureFileExtension(fileName);
    const PictureFileFormat* format = FindPictureFileFormat(extension);
    if (!format)
        throw EInvalidGraphic(QStringLiteral("未知的图象文件扩展名 (.%1)").arg(extension));

    std::unique_ptr<TGraphic> picture = NewPicture(format->kind);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(QStringLiteral("不能打开文件 %1").arg(fileName));
    if (byteLimit >= 0 && file.size() > byteLimit)
        throw EReadError(QStringLiteral("读流发生错误"));
    const QByteArray bytes = byteLimit >= 0 ? file.read(byteLimit) : file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EReadError(QStringLiteral("读流发生错误"));
    file.close();

    // An empty bitmap or JPEG file is an empty picture of its kind, not an error.
    // An empty icon file is shorter than the icon header ("读流发生错误"), and an
    // empty metafile file is no metafile ("元文件无效"): neither kind has an empty picture to store.
    const bool emptyAllowed = format->kind == PictureKind::Bitmap || format->kind == PictureKind::Jpeg;
    if (!(bytes.isEmpty() && emptyAllowed))
        picture->LoadFromBytes(bytes);
    return picture;
}

void LoadPictureFromFile(TImage* box, const QString& fileName)
{
    std::unique_ptr<TGraphic> picture = ReadPictureFile(fileName);
    box->SetPicture(std::move(picture));
}
