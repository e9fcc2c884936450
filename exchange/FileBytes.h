#pragma once
// Whole files in and out for the formats, with Chinese messages naming the file.

#include "platform/FileMessages.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// Every byte of a file. Raises ExchangeError "无法读取文件 …".
QByteArray ReadWholeFile(const QString& path);
// Opens a file for reading it through once. Raises ExchangeError "无法读取文件 …".
void OpenForReading(QFile& file);
// After reading a file opened by OpenForReading: raises ExchangeError when a read failed.
void CheckReading(const QFile& file);

// A file's bytes, or bytes in memory, read a piece at a time, so that a large
// file need never be held whole.
class PieceReader {
public:
    // From the file at path. Raises ExchangeError "无法读取文件 …" when it cannot be opened.
    explicit PieceReader(const QString& path);
    // From bytes in memory.
    explicit PieceReader(QByteArray bytes);

    qsizetype size() const { return size_; }
    // Up to length bytes from at (fewer at the end). Raises ExchangeError when the file cannot be read.
    QByteArray read(qsizetype at, qsizetype length) const;

private:
    QByteArray bytes_;
    mutable QFile file_;
    qsizetype size_ = 0;
};

// Opens a file for writing anew. Raises ExchangeError "无法写入文件 …".
void OpenForWriting(QFile& file);
// Flushes and closes a file opened by OpenForWriting; a short write raises ExchangeError.
void FinishWriting(QFile& file);
// A new file holding exactly these bytes. Raises ExchangeError "无法写入文件 …".
void WriteWholeFile(const QString& path, const QByteArray& bytes);
