#pragma once
// 检查: the book's integrity, its number of contacts, and who may read its file.

#include "book/tools/ToolsPage.h"

class QPlainTextEdit;
class QPushButton;

class CheckPage : public ToolsPage {
    Q_OBJECT
public:
    explicit CheckPage(ToolsSession& session, QWidget* parent = nullptr);

    // Checks the book and shows the result; true when it is sound.
    bool check();

    QPlainTextEdit* result() const { return result_; }
    QPushButton* checkButton() const { return check_; }

private:
    QPlainTextEdit* result_;
    QPushButton* check_;
};
