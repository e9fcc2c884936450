#include "ImportPage.h"

#include "book/BookFile.h"
#include "book/ImportFiles.h"
#include "book/tools/ColumnFitting.h"
#include "book/tools/PreviewModel.h"
#include "book/tools/PreviewReading.h"
#include "book/tools/ProgressPanel.h"
#include "book/tools/TabChain.h"
#include "book/tools/ToolsSession.h"
#include "exchange/Formats.h"
#include "platform/Desktop.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int WatchEveryMs = 40;
// 说明 takes what the data leaves, and 备注's long text gives way before the columns to check.
const ColumnFit PreviewFit{120, 360, PreviewModel::FirstTextColumn + int(ContactText::Note), 80};

// "联系人文件|*.vcf;…|vCard 名片|*.vcf|…", every kind the import reads, all of them
// first. The open dialog adds the patterns to each description itself.
QString importFilter()
{
    QStringList filter{QStringLiteral("联系人文件|%1").arg(ImportPatterns().join(u';'))};
    for (const ImportFormat& format : ImportFormats())
        filter << QStringLiteral("%1|*.%2").arg(format.description, format.extension);
    return filter.join(u'|');
}

}  // namespace

ImportPage::ImportPage(ToolsSession& session, QWidget* parent)
    : QWidget(parent), session_(session), model_(new PreviewModel(this)), table_(new QTableView(this)),
      filesLabel_(new QLabel(QStringLiteral("选择要导入的文件，或把文件拖到窗口上。"), this)),
      lastReport_(new QPlainTextEdit(this)), counts_(new QLabel(this)),
      choose_(new QPushButton(QStringLiteral("选择文件(&O)…"), this)),
      clear_(new QPushButton(QStringLiteral("清空(&L)"), this)),
      tickAll_(new QPushButton(QStringLiteral("全选(&A)"), this)),
      tickNone_(new QPushButton(QStringLiteral("全不选(&N)"), this)),
      import_(new QPushButton(QStringLiteral("导入(&I)"), this)), progress_(new ProgressPanel(this)),
      watch_(new QTimer(this))
{
    filesLabel_->setWordWrap(true);
    lastReport_->setReadOnly(true);
    lastReport_->setMaximumHeight(72);
    lastReport_->setToolTip(QStringLiteral("上次导入的报告"));
    lastReport_->hide();
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setWordWrap(false);
    table_->verticalHeader()->setDefaultSectionSize(PreviewModel::ThumbnailSize + 4);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setIconSize(QSize(PreviewModel::ThumbnailSize, PreviewModel::ThumbnailSize));
    // What must be checked (姓名, 生日, 电话 …) is seen whole; 说明 takes the rest.
    KeepColumnsFitted(table_, PreviewFit);
    // Space ticks the row whatever its cell in view, not only on the tick itself.
    table_->installEventFilter(this);

    auto* top = new QHBoxLayout;
    top->addWidget(choose_);
    top->addWidget(clear_);
    top->addWidget(filesLabel_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(counts_, 1);
    bottom->addWidget(tickAll_);
    bottom->addWidget(tickNone_);
    bottom->addWidget(import_);
    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addWidget(table_, 1);
    page->addWidget(lastReport_);
    page->addWidget(progress_);
    page->addLayout(bottom);

    connect(choose_, &QPushButton::clicked, this, &ImportPage::chooseFiles);
    connect(clear_, &QPushButton::clicked, this, &ImportPage::clearFiles);
    connect(tickAll_, &QPushButton::clicked, this, [this] { model_->tickAll(true); });
    connect(tickNone_, &QPushButton::clicked, this, [this] { model_->tickAll(false); });
    connect(import_, &QPushButton::clicked, this, &ImportPage::importTicked);
    connect(model_, &PreviewModel::ticksChanged, this, &ImportPage::showCounts);
    SetTabChain({choose_, clear_, table_, tickAll_, tickNone_, import_, progress_->cancelButton()});
    watch_->setInterval(WatchEveryMs);
    connect(watch_, &QTimer::timeout, this, &ImportPage::watchReading);
    // A cancelled reading leaves the preview as it was before those files.
    connect(progress_, &ProgressPanel::cancelRequested, this, [this] {
        if (!reading_)
            return;
        stopReading();
        backToShownFiles();
    });
    showCounts();
}

void ImportPage::chooseFiles()
{
    const std::optional<QStringList> chosen = desktop().OpenFileNames(this, importFilter());
    if (chosen && !chosen->isEmpty())
        addFiles(*chosen);
}

void ImportPage::addFiles(const QStringList& files)
{
    QStringList refused;
    for (const QString& file : files) {
        const QString path = QFileInfo(file).absoluteFilePath();
        if (const QString reason = UnimportableReason(file); !reason.isEmpty())
            refused << reason;
        else if (!files_.contains(path))
            files_ << path;
    }
    if (!refused.isEmpty())
        ShowToolReport(refused, false);
    plan();
}

void ImportPage::clearFiles()
{
    stopReading();
    files_.clear();
    shownFiles_.clear();
    fileNotes_.clear();
    model_->setPlan({});
    showFileNames();
}

void ImportPage::showFileNames()
{
    QStringList names;
    for (const QString& file : files_)
        names << QFileInfo(file).fileName();
    // What the files say of themselves (a CSV's encoding) is for the files shown.
    const QStringList notes = files_ == shownFiles_ ? fileNotes_ : QStringList();
    filesLabel_->setText(names.isEmpty() ? QStringLiteral("选择要导入的文件，或把文件拖到窗口上。")
                                         : (QStringList{names.join(QStringLiteral("，"))} + notes).join(u'\n'));
}

void ImportPage::plan()
{
    stopReading();
    if (files_.isEmpty())
        return;
    showFileNames();
    setBusy(true);
    reading_ = new PreviewReading(session_.book(), files_, this);
    connect(reading_, &PreviewReading::finished, this, &ImportPage::readingEnded);
    // One file reads in one piece: its bar is busy, with the file named beside it.
    progress_->startInBackground(reading_->doing(), files_.size() > 1 ? reading_->steps() : 0);
    watch_->start();
    reading_->start();
}

void ImportPage::watchReading()
{
    if (reading_)
        progress_->report(reading_->stepsDone(), reading_->doing());
}

void ImportPage::stopReading()
{
    if (!reading_)
        return;
    // Its thread stops at the next file and then goes; nothing waits for it.
    PreviewReading* dropped = std::exchange(reading_, nullptr);
    dropped->cancel();
    disconnect(dropped, nullptr, this, nullptr);
    connect(dropped, &PreviewReading::finished, dropped, &QObject::deleteLater);
    closeProgress();
}

void ImportPage::closeProgress()
{
    watch_->stop();
    progress_->finish();
    setBusy(false);
    table_->setFocus();
}

void ImportPage::readingEnded()
{
    PreviewReading* reading = std::exchange(reading_, nullptr);
    reading->deleteLater();
    closeProgress();
    ImportPlan planned;
    if (!RunToolAction([&] { planned = reading->takePlan(); })) {
        backToShownFiles();
        return;
    }
    // The files that could be read are shown; each one that could not is named with its reason.
    for (const QString& file : reading->refused())
        files_.removeAll(file);
    shownFiles_ = files_;
    fileNotes_ = reading->notes();
    showFileNames();
    model_->setPlan(std::move(planned));
    if (!reading->refused().isEmpty())
        ShowToolReport(reading->reasons(), false);
}

void ImportPage::backToShownFiles()
{
    files_ = shownFiles_;  // their notes still hold
    showFileNames();
}

bool ImportPage::importTicked()
{
    const ImportPlan chosen = model_->chosenPlan();
    if (chosen.toAdd.isEmpty()) {
        ShowToolReport({QStringLiteral("没有勾选要导入的联系人。")});
        return false;
    }
    setBusy(true);
    writing_ = true;
    progress_->start(QStringLiteral("写入通讯录"), chosen.added(), true);
    const bool written = RunToolAction(
        [&] { WriteImport(session_.book(), chosen, [&](int done, int) { return progress_->advance(done); }); });
    progress_->finish();
    writing_ = false;
    setBusy(false);
    if (written) {
        const QStringList report = chosen.report + ImportClosingLines(session_.book(), chosen, false);
        lastReport_->setPlainText(report.join(u'\n'));
        lastReport_->show();
        ShowToolReport(report);
        clearFiles();
        emit session_.bookChanged();
    }
    // Closing was asked for during the write: the window goes once the write has ended.
    if (std::exchange(closeAfterWrite_, false)) {
        clearFiles();
        QTimer::singleShot(0, window(), &QWidget::close);
    }
    return written;
}

bool ImportPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == table_ && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space
        && table_->currentIndex().isValid()) {
        model_->toggleTick(table_->currentIndex().row());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool ImportPage::mayClose()
{
    if (closeAfterWrite_)
        return false;
    if (!writing_ && !reading_ && model_->tickedCount() == 0)
        return true;
    if (!AskTool(QStringLiteral("导入尚未完成，取消吗？")))
        return false;
    if (writing_) {
        closeAfterWrite_ = true;
        progress_->cancel();
        return false;
    }
    clearFiles();
    return true;
}

void ImportPage::showCounts()
{
    const int total = model_->rowCount();
    counts_->setText(total == 0 ? QString()
                                : QStringLiteral("共 %1 条，勾选 %2 条").arg(total).arg(model_->tickedCount()));
    import_->setEnabled(model_->tickedCount() > 0);
}

void ImportPage::setBusy(bool busy)
{
    for (QWidget* control :
         {static_cast<QWidget*>(table_), static_cast<QWidget*>(choose_), static_cast<QWidget*>(clear_),
          static_cast<QWidget*>(tickAll_), static_cast<QWidget*>(tickNone_), static_cast<QWidget*>(import_)})
        control->setEnabled(!busy);
    if (!busy)
        showCounts();
}
