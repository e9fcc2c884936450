#pragma once
// Collects the export's many small writes (two per cell) and hands them to the
// target device in pieces of about 64 KiB. A piece the target does not take
// whole fails the write that handed it on, and every write after it, the way a
// device reports a failure (write answers -1); nothing is thrown through Qt's
// QIODevice::write. Finish raises EWriteError "写流出错" for a failure.

#include <QByteArray>
#include <QIODevice>

class XlsSink : public QIODevice {
public:
    explicit XlsSink(QIODevice& target);
    ~XlsSink() override;

    // Hands on what is collected; raises EWriteError when the target refused this or an earlier piece.
    void Finish();
    // The same after a failure: hands on what it can and raises nothing.
    void FinishQuietly() noexcept;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    // Hands the collected bytes to the target; false when it did not take them all.
    bool handOn() noexcept;

    QIODevice& target_;
    QByteArray pending_;
    bool failed_ = false;
};
