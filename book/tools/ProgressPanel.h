#pragma once
// A progress bar with a cancel button under a page, shown only for work that
// lasts longer than about a second. The work runs on the window's thread and
// tells the panel how far it got; the panel keeps the window answering.

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
    // done steps of total are done; false once the person pressed 取消.
    bool advance(int done);
    void finish();

    bool cancelled() const { return cancelled_; }
    QPushButton* cancelButton() const { return cancel_; }
    QProgressBar* bar() const { return bar_; }

private:
    QLabel* what_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    QElapsedTimer running_;
    qint64 lastEvents_ = 0;
    bool cancelled_ = false;
};
