#include "SyncJob.h"

#include <QMutexLocker>
#include <QThread>

SyncJob::SyncJob(QString book, Work work, QObject* parent)
    : QObject(parent), book_(std::move(book)), work_(std::move(work))
{
}

SyncJob::~SyncJob()
{
    cancelled_ = true;
    if (thread_)
        thread_->wait();
}

void SyncJob::start()
{
    thread_ = QThread::create([this] { run(); });
    thread_->setParent(this);
    connect(thread_, &QThread::finished, this, &SyncJob::finished);
    thread_->start();
}

QString SyncJob::step() const
{
    QMutexLocker locker(&stepLock_);
    return step_;
}

void SyncJob::run()
{
    SyncOptions options;
    options.progress = [this](const QString& step, int done, int total) {
        {
            QMutexLocker locker(&stepLock_);
            step_ = step;
        }
        total_ = total;
        done_ = done;
    };
    options.cancelled = [this] { return cancelled_.load(); };
    try {
        TADOConnection book{QStringLiteral("通讯录")};
        OpenBookConnection(book, book_);
        SyncBookFile side(book, book_);
        work_(book, side, options);
    } catch (const SyncCancelled&) {
        failure_ = QStringLiteral("同步已取消：已写入的保持不变，两边一致；下次同步接着做完");
    } catch (const Exception& e) {
        failure_ = e.Message;
    } catch (const std::exception& e) {
        failure_ = QString::fromLocal8Bit(e.what());
    }
}
