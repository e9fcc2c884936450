#pragma once
// A progress bar with a cancel button under a page, shown only for work that
// lasts longer than about a second. Work on the window's thread tells the
// panel how far it got (advance), and the panel keeps the window answering;
// work on a thread of its own is looked at from a timer (report).

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

class ProgressPanel : public QWidget {
    Q_OBJECT
public:
    explicit ProgressPanel(QWidget* parent = nullptr);

    // How long work runs before the panel shows; tests set 0.
    int showAfterMs = 1000;

    // Starts a piece of work of total steps (0: unknown, shown at once as busy); cancellable or not.
    void start(const QString& what, int total, bool cancellable);
    // Work on another thread, looked at with report(): a total of 0 is a busy bar,
    // and the panel shows only after showAfterMs, as for work that reports.
    void startInBackground(const QString& what, int total);
    // done steps of total are done; false once the person pressed 取消.
    bool advance(int done);
    // As advance, with the window answering on its own: the step and what runs now.
    bool report(int done, const QString& what);
    void finish();
    // As 取消 pressed: the work stops at its next step.
    void cancel();

    bool cancelled() const { return cancelled_; }
    QPushButton* cancelButton() const { return cancel_; }
    QProgressBar* bar() const { return bar_; }

signals:
    void cancelRequested();

private:
    void begin(const QString& what, int total, bool cancellable);
    // Shows the panel once the work ran long enough, and the step.
    void showStep(int done, qint64 now);

    QLabel* what_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    QElapsedTimer running_;
    qint64 lastEvents_ = 0;
    bool cancelled_ = false;
};
