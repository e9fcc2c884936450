#pragma once
// Collects the export's many small writes (two per cell) and hands them to the
// target device in pieces of about 64 KiB. A piece the target does not take
// whole raises EWriteError "写流出错", as a short write of a cell would.

#include <QByteArray>
#include <QIODevice>

class XlsSink : public QIODevice {
public:
    explicit XlsSink(QIODevice& target);
    ~XlsSink() override;

    // Hands on what is collected; raises EWriteError when the target refuses it.
    void Finish();
    // The same after a failure: hands on what it can and raises nothing.
    void FinishQuietly() noexcept;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    void flushPending();

    QIODevice& target_;
    QByteArray pending_;
};
