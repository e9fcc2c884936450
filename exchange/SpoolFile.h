#pragma once
// A temporary file an import puts what it has read into and reads back from,
// so that a large file's drafts and photos are never all in memory at once.
// The file loses its name once open and goes when its last holder does.

#include <QByteArray>
#include <QTemporaryFile>

class SpoolFile {
public:
    // Raises ExchangeError when no temporary file can be made.
    SpoolFile();
    SpoolFile(const SpoolFile&) = delete;
    SpoolFile& operator=(const SpoolFile&) = delete;

    // Appends the bytes; returns where they start. Raises ExchangeError.
    qint64 append(const QByteArray& bytes);
    // The size bytes from offset, as appended. Raises ExchangeError.
    QByteArray read(qint64 offset, qint64 size);

private:
    [[noreturn]] void fail();
    void write(const QByteArray& bytes);
    void flush();

    QTemporaryFile file_;
    qint64 written_ = 0;  // the bytes in the file; those appended since wait in pending_
    QByteArray pending_;  // small appends gathered into one write, as reads between them would not let the file do
};
