#pragma once
// A sync, or the finding of the address books, on a thread of its own with a
// connection of its own to the book, so the window goes on answering. The page
// looks at its progress from a timer and may cancel it between two contacts:
// what was written by then stays, both sides consistent.

#include "book/SyncConnection.h"

#include <QMutex>
#include <QObject>
#include <atomic>
#include <functional>

class QThread;

class SyncJob : public QObject {
    Q_OBJECT
public:
    // The work, given the book opened on the job's thread.
    using Work = std::function<void(TADOConnection& book, SyncBookFile& side, const SyncOptions& options)>;

    SyncJob(QString book, Work work, QObject* parent = nullptr);
    ~SyncJob() override;

    void start();
    void cancel() { cancelled_ = true; }

    int done() const { return done_; }
    int total() const { return total_; }
    QString step() const;
    // After finished: the failure's message, empty when it went through.
    const QString& failure() const { return failure_; }

signals:
    void finished();

private:
    void run();

    QString book_;
    Work work_;
    QThread* thread_ = nullptr;
    std::atomic<int> done_{0};
    std::atomic<int> total_{0};
    std::atomic<bool> cancelled_{false};
    mutable QMutex stepLock_;
    QString step_;
    QString failure_;
};
