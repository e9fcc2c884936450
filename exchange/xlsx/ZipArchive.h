#pragma once
// A zip archive in memory, read with libzip: the parts of an .xlsx workbook.

#include <QByteArray>
#include <QString>
#include <memory>

struct zip;

class ZipArchive {
public:
    // Keeps a reference to bytes, which must outlive the archive. ExchangeError
    // (naming fileName) when the bytes are no zip archive.
    ZipArchive(const QByteArray& bytes, const QString& fileName);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool contains(const QString& name) const;
    // The entry's uncompressed bytes; ExchangeError when it is missing, damaged
    // or larger than any contact list's part would be.
    QByteArray read(const QString& name) const;

private:
    zip* archive_ = nullptr;
    QString fileName_;
};
