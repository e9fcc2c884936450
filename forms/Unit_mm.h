#pragma once
// The login window: the gate in front of the contact book. It reads the stored
// password through the main window's connection, lets three presses of "登录"
// try it, and can change it ("改密" reveals the fields, "保存" stores).

#include "store/ADODB.h"

#include <QByteArray>
#include <QDialog>
#include <optional>

class QLabel;
class QPushButton;
class TMaskEdit;

class TForm_mm : public QDialog {
    Q_OBJECT
public:
    explicit TForm_mm(QWidget* parent = nullptr);
    // The same gate in front of another window of the book: the password is
    // read from (and changed on) this connection, and next is shown after a
    // successful login. The window program's own gate passes the main window.
    TForm_mm(TADOConnection& connection, QWidget* next, QWidget* parent = nullptr);
    ~TForm_mm() override;

    QLabel* Label1 = nullptr;
    TMaskEdit* MaskEdit1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QLabel* Label2 = nullptr;
    TMaskEdit* MaskEdit2 = nullptr;
    QLabel* Label3 = nullptr;
    TMaskEdit* MaskEdit3 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    TADOQuery ADOQuery_mm{QStringLiteral("ADOQuery_mm")};

    // The window was designed with a frame (title bar and borders) of this many
    // pixels in height; its heights are outer heights, ours are client heights.
    static constexpr int DesignFrameHeight = 34;
    void SetOuterHeight(int outerHeight);

    // Event handlers. The window runs each inside the handler guard.
    void FormCreate();
    void BitBtn3Click();
    void BitBtn1Click();
    void FormClose();
    void BitBtn2Click();
    void MaskEdit1KeyPress(QChar& key);

protected:
    // Closing the window any way ends its modal run: accepted after a successful
    // login, rejected otherwise (and the start-up then ends the program).
    void closeEvent(QCloseEvent* event) override;
    // The window has no default or cancel button: Enter and Escape do nothing here.
    void keyPressEvent(QKeyEvent* event) override;

private:
    TForm_mm(TADOConnection* connection, QWidget* next, QWidget* parent);
    void buildControls();
    // What the gate guards: the main window's connection and the main window
    // itself unless given.
    TADOConnection* bookConnection() const;
    QWidget* nextWindow() const;
    TADOConnection* guardedConnection_ = nullptr;
    QWidget* guardedWindow_ = nullptr;

    // Empty until read from or stored into the database; a password that could
    // not be read opens nothing.
    std::optional<QByteArray> CurrentPassword;
    bool LoginSucceeded = false;
    qint32 LoginAttempts = 0;
};

// The one instance, reachable from everywhere; set by the start-up.
extern TForm_mm* Form_mm;
