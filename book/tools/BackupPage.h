#pragma once
// 备份: a backup now, the backups beside the book, and one of them put back.

#include "book/tools/ToolsPage.h"

class QPushButton;
class QTableWidget;

class BackupPage : public ToolsPage {
    Q_OBJECT
public:
    explicit BackupPage(ToolsSession& session, QWidget* parent = nullptr);

    void refresh();
    bool backUpNow();
    // Puts the selected backup in the book's place, after asking; false when nothing changed.
    bool restoreSelected();

    QTableWidget* table() const { return table_; }
    QPushButton* backupButton() const { return backup_; }
    QPushButton* restoreButton() const { return restore_; }

private:
    QTableWidget* table_;
    QPushButton* backup_;
    QPushButton* restore_;
    QPushButton* refresh_;
};
