#include "ProgressPanel.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>

namespace {
constexpr qint64 EventsEveryMs = 40;
}

ProgressPanel::ProgressPanel(QWidget* parent)
    : QWidget(parent), what_(new QLabel(this)), bar_(new QProgressBar(this)),
      cancel_(new QPushButton(QStringLiteral("取消(&C)"), this))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(what_);
    row->addWidget(bar_, 1);
    row->addWidget(cancel_);
    connect(cancel_, &QPushButton::clicked, this, &ProgressPanel::cancel);
    // Esc cancels too, while the panel shows (a hidden widget's shortcut does not fire).
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, [this] {
        if (cancel_->isVisible())
            cancel_->click();
    });
    hide();
}

void ProgressPanel::begin(const QString& what, int total, bool cancellable)
{
    what_->setText(what);
    bar_->setRange(0, total);
    bar_->setValue(0);
    cancel_->setVisible(cancellable);
    cancelled_ = false;
    lastEvents_ = -EventsEveryMs;  // the first step lets the window answer
    running_.start();
}

void ProgressPanel::start(const QString& what, int total, bool cancellable)
{
    begin(what, total, cancellable);
    // Work of unknown length runs in one call that cannot report: its bar shows at once.
    if (showAfterMs <= 0 || total == 0) {
        show();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void ProgressPanel::startInBackground(const QString& what, int total)
{
    begin(what, total, true);
}

void ProgressPanel::showStep(int done, qint64 now)
{
    if (isHidden() && now >= showAfterMs) {
        show();
        if (cancel_->isVisible())
            cancel_->setFocus();
    }
    bar_->setValue(done);
}

bool ProgressPanel::advance(int done)
{
    const qint64 now = running_.elapsed();
    // The window answers (repaints, the cancel button) a few times a second, not at every step.
    if (now - lastEvents_ < EventsEveryMs)
        return !cancelled_;
    lastEvents_ = now;
    showStep(done, now);
    QApplication::processEvents();
    return !cancelled_;
}

bool ProgressPanel::report(int done, const QString& what)
{
    what_->setText(what);
    showStep(done, running_.elapsed());
    return !cancelled_;
}

void ProgressPanel::finish()
{
    hide();
    running_.invalidate();
}

void ProgressPanel::cancel()
{
    cancelled_ = true;
    emit cancelRequested();
}
