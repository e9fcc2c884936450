#include "PreviewReading.h"

#include "book/BookWrite.h"
#include "book/ImportFiles.h"

#include <QFileInfo>
#include <QThread>

PreviewReading::PreviewReading(QString book, QStringList files, QObject* parent)
    : QObject(parent), book_(std::move(book)), files_(std::move(files))
{
}

PreviewReading::~PreviewReading()
{
    cancel();
    if (thread_)
        thread_->wait();
}

void PreviewReading::start()
{
    thread_ = QThread::create([this] { run(); });
    thread_->setParent(this);
    connect(thread_, &QThread::finished, this, &PreviewReading::finished);
    thread_->start();
}

void PreviewReading::run()
{
    try {
        ReadFiles read = ReadEachImportFile(files_, [this](int read) {
            done_ = read;
            return !cancelled_;
        });
        refused_ = std::move(read.refused);
        reasons_ = std::move(read.reasons);
        notes_ = FileNotes(read.sources);
        plan_ = PlanBookImport(book_, read.sources);
        done_ = steps();
    } catch (...) {
        failure_ = std::current_exception();
    }
}

QString PreviewReading::doing() const
{
    const int done = done_;
    if (done < files_.size())
        return QStringLiteral("读取 %1").arg(QFileInfo(files_[done]).fileName());
    return QStringLiteral("对照通讯录");
}

ImportPlan PreviewReading::takePlan()
{
    if (failure_)
        std::rethrow_exception(failure_);
    return std::move(plan_);
}
