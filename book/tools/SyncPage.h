#pragma once
// 同步: the book kept in step with an address book on the person's CardDAV
// server, the one their phone syncs with. Setting it up from the server's
// address, a sync on a thread of its own with its progress and 取消, the
// records changed on both sides shown side by side to pick from, and the
// question before a sync that would delete many.

#include "book/SyncConnection.h"
#include "book/tools/ToolsPage.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QTimer;
class ProgressPanel;
class SyncJob;

// How the page reaches the server; tests put an address book in memory in its
// place.
struct SyncBackend {
    std::function<SetupOutcome(TADOConnection&, const QUrl&, const QString&, const QString&, const ServerAccess&)>
        setUp = SetUpSync;
    std::function<SyncReport(TADOConnection&, SyncBookFile&, const QString&, const ServerAccess&, const SyncOptions&)>
        sync = SyncWithServer;
};

class SyncPage : public ToolsPage {
    Q_OBJECT
public:
    explicit SyncPage(ToolsSession& session, QWidget* parent = nullptr);
    ~SyncPage() override;

    SyncBackend backend;

    void refresh();
    void findBooks();
    void syncNow(bool allowDeletes = false);
    // The picks in the conflicts table kept, then a sync.
    void keepChosen();
    bool busy() const { return job_ != nullptr; }

    QLineEdit* serverEdit() const { return server_; }
    QLineEdit* userEdit() const { return user_; }
    QLineEdit* passwordEdit() const { return password_; }
    QComboBox* bookChoice() const { return books_; }
    QPushButton* findButton() const { return find_; }
    QPushButton* syncButton() const { return sync_; }
    QPushButton* keepButton() const { return keep_; }
    QPlainTextEdit* report() const { return report_; }
    QTableWidget* conflicts() const { return conflicts_; }
    QLabel* lastSync() const { return last_; }
    ProgressPanel* progress() const { return progress_; }

signals:
    void jobEnded();

private:
    ServerAccess access() const;
    void startJob(const QString& what, SyncJob* job);
    void jobFinished();
    void showReport(const SyncReport& report, bool allowDeletes);
    void showConflicts();
    void setBusy(bool busy);

    QLineEdit* server_;
    QLineEdit* user_;
    QLineEdit* password_;
    QPushButton* find_;
    QComboBox* books_;
    QLabel* last_;
    QPushButton* sync_;
    QPlainTextEdit* report_;
    QTableWidget* conflicts_;
    QPushButton* keep_;
    ProgressPanel* progress_;
    QTimer* watch_;
    SyncJob* job_ = nullptr;
    std::function<void()> after_;  // what the page does with the job's result, on
                                   // the window's thread
};
