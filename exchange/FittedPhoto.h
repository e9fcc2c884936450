#pragma once
// The JPEG bytes a fitted contact will store: in memory, or held in an
// import's spool file until its record is written, so that an import of many
// cards with photos does not hold every picture at once.

#include <QByteArray>
#include <memory>
#include <optional>

class SpoolFile;

class FittedPhoto {
public:
    FittedPhoto() = default;  // no photo
    explicit FittedPhoto(QByteArray jpeg) : bytes_(std::move(jpeg)), size_(bytes_->size()) {}
    // Bytes already in the spool file.
    FittedPhoto(std::shared_ptr<SpoolFile> file, qint64 offset, qint64 size)
        : file_(std::move(file)), offset_(offset), size_(size)
    {
    }

    // A photo of that size whose bytes were let go: a plan that is never
    // written, or whose records were written as it was made, needs no more.
    static FittedPhoto LetGo(qint64 size);

    explicit operator bool() const { return bytes_ || file_ || letGo_; }
    bool letGo() const { return letGo_; }
    qint64 size() const { return size_; }
    // The bytes, read back from the spool file where they are held there.
    // Raises ExchangeError, and for a photo let go.
    QByteArray bytes() const;
    // Moves bytes held in memory into the spool file.
    void holdIn(const std::shared_ptr<SpoolFile>& file);
    // Where the bytes start in the spool file, moved there first when held in
    // memory or in another file. Raises ExchangeError.
    qint64 heldAt(const std::shared_ptr<SpoolFile>& file);

private:
    std::optional<QByteArray> bytes_;
    std::shared_ptr<SpoolFile> file_;
    qint64 offset_ = 0;
    qint64 size_ = 0;
    bool letGo_ = false;
};
