#include "FittedPhoto.h"

#include "exchange/SpoolFile.h"

QByteArray FittedPhoto::bytes() const
{
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
