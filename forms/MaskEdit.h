#pragma once
// A masked edit without a mask: a line edit that shows every character as "*"
// and reports each character key to its window before handling it itself.

#include <QLineEdit>
#include <functional>

class TMaskEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TMaskEdit(QWidget* parent = nullptr);

    // Called with the character of a key press (13 for Enter, 10 for Ctrl+Enter) before the edit sees it.
    std::function<void(QChar& key)> OnKeyPress;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
