#pragma once
// A push button as the windows use it: never the window's default button, and
// Enter presses it exactly when it has the keyboard focus, as Space does.

#include <QPushButton>

class TBitBtn : public QPushButton {
    Q_OBJECT
public:
    explicit TBitBtn(const QString& caption, QWidget* parent = nullptr);
    TBitBtn(const QIcon& picture, const QString& caption, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// Whether a key event is a plain Enter: Return or the keypad's Enter, without
// Shift, Ctrl, Alt or Meta.
bool IsPlainEnter(const QKeyEvent* event);
