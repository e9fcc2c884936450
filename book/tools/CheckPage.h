#pragma once
// 检查: the book's integrity, its number of contacts, and who may read its file.

#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class ToolsSession;

class CheckPage : public QWidget {
    Q_OBJECT
public:
    explicit CheckPage(ToolsSession& session, QWidget* parent = nullptr);

    // Checks the book and shows the result; true when it is sound.
    bool check();

    QPlainTextEdit* result() const { return result_; }
    QPushButton* checkButton() const { return check_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    ToolsSession& session_;
    bool stale_ = true;
    QPlainTextEdit* result_;
    QPushButton* check_;
};
