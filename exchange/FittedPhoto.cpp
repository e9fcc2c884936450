#include "FittedPhoto.h"

#include "exchange/ContactDraft.h"
#include "exchange/SpoolFile.h"

FittedPhoto FittedPhoto::LetGo(qint64 size)
{
    FittedPhoto photo;
    photo.size_ = size;
    photo.letGo_ = true;
    return photo;
}

QByteArray FittedPhoto::bytes() const
{
    if (letGo_)
        throw ExchangeError(QStringLiteral("导入计划没有保留照片，无法写入"));
    if (bytes_)
        return *bytes_;
    return file_ ? file_->read(offset_, size_) : QByteArray();
}

void FittedPhoto::holdIn(const std::shared_ptr<SpoolFile>& file)
{
    if (!bytes_)
        return;
    offset_ = file->append(*bytes_);
    file_ = file;
    bytes_.reset();
}

qint64 FittedPhoto::heldAt(const std::shared_ptr<SpoolFile>& file)
{
    if (file_ != file) {
        bytes_ = bytes();
        file_.reset();
    }
    holdIn(file);
    return offset_;
}
