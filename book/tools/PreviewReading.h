#pragma once
// The 导入 preview's files read and planned against the book on a thread of
// their own, so the window keeps answering (and 取消 works) while a large file
// is read. Reading never writes the book: a cancelled reading's cards are
// simply dropped. A cancel is taken before each file and before the planning.
// A file that cannot be read is left out, and the others are read all the same.

#include "exchange/ImportPlan.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <exception>

class QThread;

class PreviewReading : public QObject {
    Q_OBJECT
public:
    PreviewReading(QString book, QStringList files, QObject* parent = nullptr);
    // Cancels and waits for the thread, which stops at its next file.
    ~PreviewReading() override;

    void start();
    void cancel() { cancelled_ = true; }
    bool isCancelled() const { return cancelled_; }

    // The steps are the files, then the planning against the book.
    int steps() const { return int(files_.size()) + 1; }
    int stepsDone() const { return done_; }
    // What runs now, for the progress bar: "读取 手机.vcf" or "对照通讯录".
    QString doing() const;

    // Once finished: the plan of the files that could be read, or what the reading raised.
    ImportPlan takePlan();
    // Once finished: the files that could not be read, and for each why.
    const QStringList& refused() const { return refused_; }
    const QStringList& reasons() const { return reasons_; }
    // Once finished: what the files read say of themselves (their encoding …).
    const QStringList& notes() const { return notes_; }

signals:
    // The thread ended (also when cancelled); told on the thread that made the reading.
    void finished();

private:
    void run();

    const QString book_;
    const QStringList files_;
    std::atomic<int> done_{0};
    std::atomic<bool> cancelled_{false};
    ImportPlan plan_;
    QStringList refused_;
    QStringList reasons_;
    QStringList notes_;
    std::exception_ptr failure_;
    QThread* thread_ = nullptr;
};
